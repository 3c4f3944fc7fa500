#pragma once
/// \file cls_Loging.h
/// Asks the user for a user name and a password in the library's login dialog and hands both back
/// with the user's choice. The library does not check the credentials. A creatable class.

#include <Kor2_Sys/Object.h>

namespace Kor2_Sys {

/// The login dialog: a user name, a password and the user's choice.
class KOR2_SYS_EXPORT cls_Loging {
public:
    /// Not accepted, with empty texts.
    cls_Loging() = default;
    /// A copy of the other's answer, password included.
    cls_Loging(const cls_Loging&) = default;
    /// Overwrites the former password in memory before taking the other's.
    cls_Loging& operator=(const cls_Loging& other);
    /// Overwrites the password in memory before releasing it.
    ~cls_Loging();

    Boolean Acept = false;  ///< true when the user closed the dialog with Aceptar
    Text User;              ///< the user name typed, exactly (untrimmed); set only on Aceptar
    Text Password;          ///< the password typed, exactly; set only on Aceptar

    /// Shows the dialog modally, both boxes proposing "vupa" every time (`User` and `Password` are
    /// never shown). Aceptar sets all three fields; Cancelar and the close box set `Acept` to false
    /// and leave `User` and `Password` as they were. Enter presses only a focused button; Escape does
    /// nothing. No error report of its own: a failure (error 68 without a display) reaches the
    /// caller as an `Error`, the fields unchanged.
    void ShowDialog();
};

} // namespace Kor2_Sys
