#include <Kor2_Sys/cls_Loging.h>

#include "frame/Dispatch.h"
#include "frame/Wipe.h"

namespace Kor2_Sys::classes {
namespace {
using namespace dispatch;
using V = ValueType;
using T = Kor2_Sys::cls_Loging;

constexpr auto kMembers = makeTable(std::array{
    field("Acept", V::Boolean, on<T>([](T& l, CallArgs& a) { return a.field(l.Acept); })),
    field("User", V::Text, on<T>([](T& l, CallArgs& a) { return a.field(l.User); })),
    // The value written is the call's own converted copy: it is wiped with the former password.
    field("Password", V::Text, on<T>([](T& l, CallArgs& a) {
        if (!a.isPut())
            return Variant(l.Password);
        wipe::assign(l.Password, a.text(0));
        wipe::value(a[0]);
        return Variant();
    })),
    sub("ShowDialog", {}, on<T>([](T& l, CallArgs&) { l.ShowDialog(); })),
});
} // namespace

// Listed by the class registry, which stands above the subsystems.
extern const ClassInfo cls_Loging;
constexpr ClassInfo cls_Loging{"cls_Loging", Creation::Creatable, kMembers, &create<T, cls_Loging>, nullptr};

} // namespace Kor2_Sys::classes
