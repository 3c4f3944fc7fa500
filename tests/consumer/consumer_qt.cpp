// A Qt host: its own window reaches the library as a host object, and the library's geometry
// operations move it.
#include <Kor2_Sys/Object.h>
#include <Kor2_Sys/qt/QtHostObject.h>

#include <QApplication>
#include <QWidget>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setGeometry(200, 150, 400, 300);
    const auto host = Kor2_Sys::qt::hostWindow(&window);

    Kor2_Sys::putProperty(*host, "Left", Kor2_Sys::Long{1500});
    const Kor2_Sys::Long left = Kor2_Sys::getProperty(*host, "Left").toLong();
    const int pixels = window.frameGeometry().x();

    std::printf("qt host left %d twips, %d px\n", left, pixels);
    return left == 1500 && pixels > 0 ? 0 : 1;
}
