#include "frame/Classes.h"
#include "frame/Dispatch.h"

// The login dialog arrives with its window.
namespace Kor2_Sys::classes {
namespace {
using namespace dispatch;
using V = ValueType;

constexpr auto kMembers = makeTable(std::array{
    field("Acept", V::Boolean),
    field("User", V::Text),
    field("Password", V::Text),
    sub("ShowDialog", {}),
});
} // namespace

constexpr ClassInfo cls_Loging{"cls_Loging", Creation::Creatable, kMembers, &create<Unbuilt, cls_Loging>, nullptr};

} // namespace Kor2_Sys::classes
