#pragma once
// F_color, the colour chooser: three palettes of CAD colour indices, a colour box that takes a
// colour word or an index, the layer colour on offer, accept and cancel. Its position lives in the
// settings store under "ColorPosicion".

#include <Kor2_Sys/Value.h>

#include "platform/Form.h"

#include <optional>

namespace Kor2_Sys::colour {

class ColourWindow final : public platform::FormEvents {
public:
    /// Heights of the window, in twips: the top three frames only, or with the special colours.
    static constexpr Long kCollapsedHeight = 1785;
    static constexpr Long kExpandedHeight = 4245;

    /// Creates the window hidden and collapsed, with colour 0 and its position restored.
    ColourWindow();
    /// Unloads the window if nobody did (saving its position).
    ~ColourWindow() override;
    ColourWindow(const ColourWindow&) = delete;
    ColourWindow& operator=(const ColourWindow&) = delete;

    Boolean C_aceptado() const noexcept { return m_accepted; }
    void setC_aceptado(Boolean accepted) noexcept { m_accepted = accepted; }
    Text C_Titulo() const { return m_form.caption(); }
    void setC_Titulo(Text caption) { m_form.setCaption(std::move(caption)); }
    /// Shows the window modally; returns once it is hidden.
    void C_ejecuta();
    Long C_color_elegido_Vb() const noexcept { return m_chosen; }
    /// Proposes a colour: it is snapped to the palette through its reverse-palette index.
    void setC_color_elegido_Vb(Long colour);
    Long C_NumColorAutocaD() const;
    void setC_NumColorAutocaD(Long index);
    Text C_NomColorAutocaD() const;
    void C_expandir_colores();
    /// Offers the layer colour `colour` (a variant holding a colour number).
    void C_añadir_BT_por_Capa(const Variant& colour);
    Text C_Por_capa() const;
    Long NumColAutocad_dado_NumVB(Long colour) const;
    Text Nombre_Color_dado_Num_Vb(Long colour) const;

    /// Unloads the window from code: its position is saved.
    void unload() { m_form.unload(); }
    platform::Form& form() noexcept { return m_form; }

private:
    void onClick(const std::string& control) override;
    void onDoubleClick(const std::string& control) override;
    void onMouseDown(const std::string& control, int button, int shift, double x, double y) override;
    void onChange(const std::string& control) override;
    void onKeyPress(const std::string& control, int& key) override;
    void onCloseRequest(bool fromUser, bool& cancel) override;
    void onUnload() override;

    void build();
    void restorePosition();
    void colourBox();
    void accept();
    void showError();
    void chooseIndex(Long index);
    void markChosen(Long index);

    platform::Form m_form;
    Long m_chosen = 0;
    Boolean m_accepted = false;
};

/// How a run of the chooser ended: the colour accepted, or on a cancel the proposal, each with its
/// CAD colour index and name.
struct ColourChoice {
    bool accepted = false;
    Long colour = 0;
    Long index = 0;
    Text name;
};

/// Runs the chooser modally, expanded, under `title`, proposing the colour `proposal` and offering
/// `layer` when given. Errors reach the caller.
ColourChoice chooseColour(const Text& title, Long proposal, std::optional<Long> layer);

} // namespace Kor2_Sys::colour
