#include <Kor2_Sys/cRegistro.h>

#include "frame/NeverDestroyed.h"
#include "frame/NumberText.h"
#include "frame/Trap.h"
#include "settings/Store.h"

#include <cmath>
#include <utility>

namespace Kor2_Sys {
namespace {

// Never destroyed: a host may read and write its settings from its own exit handlers, which may run
// after the module's global objects are gone.
const NeverDestroyed<Text> kApp(settings::kApplication);
constexpr Integer kPulledBack = 100;

Text section(const Text& aplicacion, const Text& seccion)
{
    return aplicacion + u" " + seccion;
}

using numtext::digits;

// The two conversions of stored geometry text: whole numbers are 16-bit, reals single precision.
Integer whole(const Text& text) { return Variant(text).toInteger(); }
Single real(const Text& text) { return Variant(text).toSingle(); }

// An off-screen top or left comes back to 100; -100 and 25000 are still on screen.
Integer pulledBack(Integer value)
{
    return (std::abs(static_cast<int>(value)) > 25000 || value < -100) ? kPulledBack : value;
}

class Geometry {
public:
    Geometry(Object& window, const Text& aplicacion, const Text& seccion)
        : m_window(window), m_section(section(aplicacion, seccion)) {}

    Text read(std::u16string_view key, const Text& fallback) const
    {
        return settings::store().read(*kApp, m_section, Text(key), fallback);
    }
    void write(std::u16string_view key, const Text& value) const { settings::store().write(*kApp, m_section, Text(key), value); }
    Integer state() const { return whole(read(u"Estado", u"0")); }
    void set(std::string_view property, Variant value) const { putProperty(m_window, property, std::move(value)); }
    Variant get(std::string_view property) const { return getProperty(m_window, property); }

    /// Applies a stored state other than normal; true when the geometry is to be restored.
    bool restoreState() const
    {
        const Integer stored = state();
        if (stored == 2)
            set("WindowState", Integer{2});
        return stored == 0;
    }

    /// The stored top and left as whole numbers (100 when absent), off-screen values pulled back.
    std::pair<Integer, Integer> pulledBackPosition() const
    {
        const Integer top = pulledBack(whole(read(u"Top", u"100")));
        const Integer left = pulledBack(whole(read(u"Left", u"100")));
        return {top, left};
    }

    void save(bool withSize) const
    {
        const Integer current = get("WindowState").toInteger();
        if (current == 1 || current == 2) {
            write(u"Estado", digits(current));
            return;
        }
        write(u"Estado", u"0");
        write(u"Top", get("Top").toText());
        write(u"Left", get("Left").toText());
        if (withSize) {
            write(u"Width", get("Width").toText());
            write(u"Height", get("Height").toText());
        }
    }

private:
    Object& m_window;
    Text m_section;
};

Object& windowOf(const std::shared_ptr<Object>& formulario)
{
    if (!formulario)
        throw errors::objectNotSet();
    return *formulario;
}

// Every geometry operation recovers the same way: the window goes to top 100, left 100. If even
// that fails, the second error reaches the host. The first one is recovered from, not reported to
// the user, so the host hears of it as an absorbed failure.
template <class F> void geometryTrap(std::string_view operation, const std::shared_ptr<Object>& formulario, F&& fn)
{
    trap::handle(fn, [&](const Error& error) {
        trap::swallowed(operation, error);
        Object& window = windowOf(formulario);
        putProperty(window, "Top", Integer{kPulledBack});
        putProperty(window, "Left", Integer{kPulledBack});
    });
}

} // namespace

void cRegistro::R_Grabar_un_dato_en_Win(const Text& Aplicacion, const Text& Seccion, const Text& SubSeccion,
                                        const Variant& Valor)
{
    trap::silent("cRegistro.R_Grabar_un_dato_en_Win",
                 [&] { settings::store().write(*kApp, section(Aplicacion, Seccion), SubSeccion, Valor.toText()); });
}

Variant cRegistro::R_Lee_un_dato_en_Win(const Text& Aplicacion, const Text& Seccion, const Text& SubSeccion,
                                        const Variant& Pordefecto)
{
    // The default is the answer only when there is nothing to read: a null default, which has no
    // text form, must not keep an existing key from being read. A missing key with a null
    // default is that default itself, as any failed read is.
    Variant result = Pordefecto;
    trap::silent("cRegistro.R_Lee_un_dato_en_Win", [&] {
        if (auto stored = settings::store().find(*kApp, section(Aplicacion, Seccion), SubSeccion))
            result = std::move(*stored);
        else if (!Pordefecto.isNull())
            result = Pordefecto.toText();
    });
    return result;
}

void cRegistro::R_Lee_tamaño_y_pos_Obj_en_Win(std::shared_ptr<Object> Formulario, const Text& Aplicacion,
                                              const Text& Seccion, const Integer& defec_Top, const Integer& defec_Lef,
                                              const Integer& defec_Width, const Integer& defec_Heigth)
{
    geometryTrap("cRegistro.R_Lee_tamaño_y_pos_Obj_en_Win", Formulario, [&] {
        trap::showReport(u"registro sin actualizar");
        const Geometry g(windowOf(Formulario), Aplicacion, Seccion);
        if (!g.restoreState())
            return;
        g.set("Top", real(g.read(u"Top", digits(defec_Top))));
        g.set("Left", real(g.read(u"Left", digits(defec_Lef))));
        g.set("Width", real(g.read(u"Width", digits(defec_Width))));
        g.set("Height", real(g.read(u"Height", digits(defec_Heigth))));
    });
}

void cRegistro::R_Lee_tamaño_y_pos_Obj_en_Win1(const std::shared_ptr<Object>& Formulario, const Text& Aplicacion,
                                               const Text& Seccion, const Integer& defec_Top, const Integer& defec_Lef,
                                               const Integer& defec_Width, const Integer& defec_Heigth)
{
    geometryTrap("cRegistro.R_Lee_tamaño_y_pos_Obj_en_Win1", Formulario, [&] {
        const Geometry g(windowOf(Formulario), Aplicacion, Seccion);
        if (!g.restoreState())
            return;
        const Integer top = whole(g.read(u"Top", digits(defec_Top)));
        const Integer left = whole(g.read(u"Left", digits(defec_Lef)));
        g.set("Top", top);
        g.set("Left", left);
        g.set("Width", real(g.read(u"Width", digits(defec_Width))));
        g.set("Height", real(g.read(u"Height", digits(defec_Heigth))));
    });
}

void cRegistro::R_Lee_tamaño_y_pos_Obj_en_Win_O(const std::shared_ptr<Object>& Formulario, const Text& Aplicacion,
                                                const Text& Seccion)
{
    geometryTrap("cRegistro.R_Lee_tamaño_y_pos_Obj_en_Win_O", Formulario, [&] {
        const Geometry g(windowOf(Formulario), Aplicacion, Seccion);
        if (!g.restoreState())
            return;
        const auto [top, left] = g.pulledBackPosition();
        const Integer width = whole(g.read(u"Width", g.get("Width").toText()));
        const Integer height = whole(g.read(u"Height", g.get("Height").toText()));
        g.set("Top", top);
        g.set("Left", left);
        g.set("Width", width);
        g.set("Height", height);
    });
}

void cRegistro::R_Graba_tamaño_y_pos_Obj_en_Win(const std::shared_ptr<Object>& Formulario, const Text& Aplicacion,
                                                const Text& Seccion)
{
    geometryTrap("cRegistro.R_Graba_tamaño_y_pos_Obj_en_Win", Formulario,
                 [&] { Geometry(windowOf(Formulario), Aplicacion, Seccion).save(true); });
}

void cRegistro::R_Lee_Pos_Form(const std::shared_ptr<Object>& Formulario, const Text& Aplicacion, const Text& Seccion)
{
    geometryTrap("cRegistro.R_Lee_Pos_Form", Formulario, [&] {
        const Geometry g(windowOf(Formulario), Aplicacion, Seccion);
        if (!g.restoreState())
            return;
        const auto [top, left] = g.pulledBackPosition();
        g.set("Top", top);
        g.set("Left", left);
    });
}

void cRegistro::R_Graba_Pos_Form(const std::shared_ptr<Object>& Formulario, const Text& Aplicacion, const Text& Seccion)
{
    geometryTrap("cRegistro.R_Graba_Pos_Form", Formulario,
                 [&] { Geometry(windowOf(Formulario), Aplicacion, Seccion).save(false); });
}

template <> cRegistro& global<cRegistro>()
{
    static cRegistro instance;
    return instance;
}

} // namespace Kor2_Sys
