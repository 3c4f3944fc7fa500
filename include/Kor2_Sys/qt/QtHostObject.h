#pragma once
/// \file QtHostObject.h
/// Qt hosts hand their windows to the library as host objects: `Left`, `Top`, `Width`, `Height`
/// (outer geometry, twips), `WindowState` (0 normal, 1 minimised, 2 maximised), `Visible`,
/// `Caption`, `hWnd`, `ScaleWidth`, `ScaleHeight` (inner size, twips). Link Kor2_Sys::Kor2_Sys_qt.

#include <Kor2_Sys/Object.h>
#include <Kor2_Sys/qt/Kor2_SysQtExport.h>

#include <memory>

class QWidget;

namespace Kor2_Sys::qt {

/// A host object for `widget` (a QWidget or QMainWindow); the widget must outlive its use.
KOR2_SYS_QT_EXPORT std::shared_ptr<Object> hostWindow(QWidget* widget);

} // namespace Kor2_Sys::qt
