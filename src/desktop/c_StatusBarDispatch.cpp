#include <Kor2_Sys/c_StatusBar.h>

#include "frame/Dispatch.h"

// The desktop utilities work on the host's own windows.
namespace Kor2_Sys::classes {
namespace {
using namespace dispatch;
using V = ValueType;
using T = Kor2_Sys::c_StatusBar;

constexpr ParamInfo kProgreso[] = {{"Form1", V::Object}, {"ProgressBar1", V::Object}, {"StatusBar1", V::Object},
                                   {"Panel", V::Integer}, {"bShowProgressBar", V::Boolean, false, true, 0}};
constexpr ParamInfo kShowProgress[] = {{"Form1", V::Object}, {"ProgressBar1", V::Object}, {"StatusBar1", V::Object},
                                       {"Panel", V::Integer}};
constexpr auto kMembers = makeTable(std::array{
    // Host objects reach the members as the host passed them; each operation checks them itself.
    sub("Progreso", kProgreso, on<T>([](T& s, CallArgs& a) { s.Progreso(a[0], a[1], a[2], a.integer(3), a.boolean(4)); })),
    sub("ShowProgressInStatusBar", kShowProgress,
        on<T>([](T& s, CallArgs& a) { s.ShowProgressInStatusBar(a[0], a[1], a[2], a.integer(3)); })),
});
} // namespace

// Listed by the class registry, which stands above the subsystems.
extern const ClassInfo c_StatusBar;
constexpr ClassInfo c_StatusBar{"c_StatusBar", Creation::Creatable, kMembers, &create<T, c_StatusBar>, nullptr};

} // namespace Kor2_Sys::classes
