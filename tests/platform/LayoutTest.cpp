// The library's own windows, control by control, as the layouts in tests/platform/layouts give them:
// place and size in twips, captions, tab order, what a reader hears, the pictures' drawings and the
// palettes' cells. A moved button or a cell of the wrong colour shows as the first line that differs.
// KOR2_UPDATE_LAYOUTS=1 writes the files anew from the windows (read the diff before committing).
#include "Actions.h"
#include "Guards.h"
#include "colour/ColourWindow.h"
#include "frame/Utf.h"
#include "login/LoginWindow.h"
#include "platform/headless/HeadlessWindowSystem.h"
#include "prompts/InputWindow.h"
#include "prompts/MessageWindow.h"
#include "settings/Store.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

using namespace Kor2_Sys;
using namespace kor2test;
using platform::Control;
using platform::ShownForm;

namespace {

constexpr const char* kKinds[] = {"label", "frame", "textbox", "button", "picture", "filledrect"};

// Quoted, with line breaks written out so that each control keeps to one line of the file.
std::string utf8(const Text& text)
{
    std::string out = "\"";
    for (const char c : utf::toUtf8(text))
        out += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
    return out + '"';
}

void describeDrawing(std::ostream& out, const Control& c)
{
    for (const platform::DisplayItem& d : c.picture)
        out << "  draw " << static_cast<int>(d.kind) << ' ' << d.x1 << ',' << d.y1 << ' ' << d.x2 << ',' << d.y2
            << std::hex << " #" << d.colour << std::dec << (d.text.empty() ? "" : ' ' + utf8(d.text)) << '\n';
    if (c.swatches) {
        out << "  cells " << c.swatches->columns << 'x' << c.swatches->rows << " ringed " << c.swatches->ringed() << '\n';
        for (const Text& name : c.swatches->names)
            out << "  cell " << utf8(name) << '\n';
    }
}

void describeControl(std::ostream& out, const Control& c)
{
    out << c.name << ' ' << kKinds[static_cast<int>(c.kind)] << (c.container.empty() ? "" : " in " + c.container)
        << ' ' << c.left << ',' << c.top << ' ' << c.width << 'x' << c.height << " tab " << c.tabIndex << ' '
        << utf8(c.caption);
    const std::pair<bool, const char*> flags[] = {{!c.visible, "hidden"}, {!c.enabled, "disabled"}, {c.bold, "bold"},
        {c.multiline, "multiline"}, {c.fixedPitch, "fixed"}, {c.passwordChar != 0, "password"}};
    for (const auto& [on, word] : flags)
        out << (on ? std::string(" ") + word : "");
    const std::pair<const std::optional<Long>&, const char*> colours[] = {
        {c.backColour, "back"}, {c.foreColour, "fore"}, {c.fillColour, "fill"}};
    for (const auto& [colour, word] : colours)
        if (colour)
            out << ' ' << word << std::hex << " #" << *colour << std::dec;
    if (c.scaleWidth != 0 || c.scaleHeight != 0)
        out << " scale " << c.scaleWidth << 'x' << c.scaleHeight;
    const std::pair<const Text&, const char*> texts[] = {
        {c.toolTip, "tip"}, {c.accessibleName, "reads"}, {c.accessibleDescription, "describes"}};
    for (const auto& [text, word] : texts)
        if (!text.empty())
            out << ' ' << word << ' ' << utf8(text);
    out << (c.labelledBy.empty() ? "" : " labelled-by " + c.labelledBy) << '\n';
    describeDrawing(out, c);
}

std::string describe(const std::string& heading, const ShownForm& form)
{
    std::ostringstream out;
    out << heading << ": " << form.name << ' ' << utf8(form.caption) << ' ' << form.left << ',' << form.top << ' '
        << form.width << 'x' << form.height << '\n';
    for (const Control& c : form.controls)
        describeControl(out, c);
    return out.str();
}

struct Windows {
    colour::ColourWindow colour;
    prompts::MessageWindow message;
    prompts::InputWindow input;
    login::LoginWindow login;
};

// One window as it is shown (and closed by `first`), then, as another window of its kind, as its
// model stands after a person played `second` in it (made it larger, or opened its other palettes).
// `show` shows the window of its kind among `Windows` and hands back its form.
struct Layout {
    const char* file;
    std::string window;
    Actions first, second;
    platform::Form& (*show)(Windows&);
};

std::string expected(const std::string& file, const std::string& actual)
{
    const std::string path = std::string(KOR2_LAYOUTS) + "/" + file + ".txt";
    if (const char* update = std::getenv("KOR2_UPDATE_LAYOUTS"); update != nullptr && *update == '1')
        std::ofstream(path, std::ios::binary) << actual;
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The first line that differs, so a failure names the control rather than printing two windows.
void expectSameLines(const std::string& expectedText, const std::string& actualText)
{
    std::istringstream want(expectedText), got(actualText);
    std::string a, b;
    for (int line = 1; static_cast<bool>(std::getline(want, a)) | static_cast<bool>(std::getline(got, b));
         ++line, a.clear(), b.clear())
        ASSERT_EQ(b, a) << "line " << line;
}

class WindowLayouts : public ::testing::TestWithParam<Layout> {
protected:
    settings::ScopedStore store{":memory:"};
    ScopedHeadless ui;
};

TEST_P(WindowLayouts, AreThePublishedOnes)
{
    const Layout& layout = GetParam();
    ui->queue({{layout.window, layout.first}, {layout.window, layout.second}});
    Windows first, second;
    layout.show(first);
    const platform::Form& form = layout.show(second);
    ASSERT_FALSE(ui->shownForms().empty()) << "the window was not shown";
    std::ostringstream window;
    window << "window: " << (form.toolWindow() ? "tool" : form.resizable() ? "sizeable" : "fixed") << " frame "
           << form.frameWidth() << 'x' << form.frameHeight() << " icon '" << form.icon() << "' default '"
           << form.defaultButton() << "' cancel '" << form.cancelButton() << "'\n";
    const std::string actual = window.str() + describe("shown", ui->shownForms().front()) +
                               describe("second", ShownForm::of(form));
    expectSameLines(expected(layout.file, actual), actual);
}

INSTANTIATE_TEST_SUITE_P(Windows, WindowLayouts, ::testing::Values(
    Layout{"colour", "F_color", {click("BT_cancelar")}, {click("BT_otros"), click("BT_cancelar")},
           [](Windows& w) -> platform::Form& {
               w.colour.setC_color_elegido_Vb(0x0000D0);
               w.colour.C_ejecuta();
               return w.colour.form();
           }},
    Layout{"message", "F_mensajes", {click("cmdAceptar")}, {resize(7200, 4500), click("cmdAceptar")},
           [](Windows& w) -> platform::Form& {
               w.message.A_Mensaje(u"Primera línea\r\nsegunda", u"Aviso");
               return w.message.form();
           }},
    Layout{"input", "f_Imput", {click("cmdCancel")}, {resize(9000, 6000), click("cmdCancel")},
           [](Windows& w) -> platform::Form& {
               w.input.A_Input(u"inicial", u"Cota", u"Escriba la cota");
               return w.input.form();
           }},
    Layout{"login", "dlgLoging", {click("cmdCancel")}, {type("txtUser", u"ana"), type("txtPassword", u"clave"), click("cmdCancel")},
           [](Windows& w) -> platform::Form& {
               w.login.show();
               return w.login.form();
           }}),
    [](const auto& info) { return std::string(info.param.file); });

} // namespace
