// What a scripted user's typing costs per character: the form model's share must stay constant
// per character, whatever the length of the text already in the box.
#include "platform/Form.h"
#include "platform/WindowSystem.h"
#include "platform/headless/HeadlessWindowSystem.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

using namespace Kor2_Sys;
using namespace Kor2_Sys::platform;
using Kor2_Sys::script::Action;

namespace {

// A window whose handlers do nothing per character, so that only the model and the window system
// are measured.
class TypingWindow final : public FormEvents {
public:
    TypingWindow() : form("F_tecleo", *this)
    {
        form.add(makeControl("TX_texto", ControlKind::TextBox, u"", 0, 0, 4000, 300, 0));
        form.add(makeControl("BT_aceptar", ControlKind::Button, u"Aceptar", 0, 400, 1000, 300, 1));
    }
    void onClick(const std::string&) override { form.hide(); }
    void onChange(const std::string&) override { ++changes; }

    Form form;
    long changes = 0;
};

void TypeIntoHeadlessWindow(benchmark::State& state)
{
    const Text text(static_cast<std::size_t>(state.range(0)), u'a');
    auto headless = std::make_shared<HeadlessWindowSystem>();
    ScopedWindowSystem installed(headless);
    for (auto _ : state) {
        state.PauseTiming();
        TypingWindow window;
        headless->queue({{"F_tecleo",
                          {{.kind = Action::Kind::Type, .control = "TX_texto", .text = text},
                           {.kind = Action::Kind::Click, .control = "BT_aceptar"}}}});
        headless->clearRecords();
        state.ResumeTiming();
        headless->showModal(window.form);
        benchmark::DoNotOptimize(window.changes);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(TypeIntoHeadlessWindow)->RangeMultiplier(2)->Range(10'000, 80'000)->Unit(benchmark::kMillisecond)->Complexity();

} // namespace
