#include <Kor2_Sys/cfrm_Dialog.h>

#include "files/FileDialogMembers.h"

namespace Kor2_Sys::classes {
namespace {
using T = Kor2_Sys::cfrm_Dialog;

constexpr auto kMembers = fileDialogMembers<T>();
} // namespace

// Listed by the class registry, which stands above the subsystems.
extern const ClassInfo cfrm_Dialog;
constexpr ClassInfo cfrm_Dialog{"cfrm_Dialog", Creation::Creatable, kMembers, &dispatch::create<T, cfrm_Dialog>, nullptr};

} // namespace Kor2_Sys::classes
