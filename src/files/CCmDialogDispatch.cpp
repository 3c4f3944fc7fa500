#include <Kor2_Sys/CCmDialog.h>

#include "files/FileDialogMembers.h"

namespace Kor2_Sys::classes {
namespace {
using T = Kor2_Sys::CCmDialog;

constexpr auto kMembers = fileDialogMembers<T>();
} // namespace

// Listed by the class registry, which stands above the subsystems.
extern const ClassInfo CCmDialog;
constexpr ClassInfo CCmDialog{"CCmDialog", Creation::Creatable, kMembers, &dispatch::create<T, CCmDialog>, nullptr};

} // namespace Kor2_Sys::classes
