#include <Kor2_Sys/cls_Loging.h>

#include "frame/Wipe.h"
#include "login/LoginWindow.h"

namespace Kor2_Sys {

cls_Loging& cls_Loging::operator=(const cls_Loging& other)
{
    if (this != &other) {
        Acept = other.Acept;
        User = other.User;
        wipe::assign(Password, other.Password);
    }
    return *this;
}

cls_Loging::~cls_Loging()
{
    wipe::text(Password);
}

void cls_Loging::ShowDialog()
{
    // Last out, after the window: the stack the dialog ran on keeps nothing of what was typed.
    struct StackScrub {
        ~StackScrub() { wipe::stack(); }
    } scrub;
    login::LoginWindow window;
    window.show();
    Acept = window.accepted();
    if (Acept) {
        User = window.user();
        wipe::assign(Password, window.password());
    }
    window.unload();
}

} // namespace Kor2_Sys
