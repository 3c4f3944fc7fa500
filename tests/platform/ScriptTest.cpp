// Window scripts as data: what is written reads back to the same actions, and the queue hands out
// scripts and message-box answers by the same rules to every player.
#include "Actions.h"
#include "Guards.h"
#include "script/ScriptJson.h"
#include "script/ScriptQueue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

using namespace Kor2_Sys;
using namespace Kor2_Sys::script;
using namespace kor2test;

namespace {

auto fields(const Action& a)
{
    return std::tuple(a.kind, a.control, a.text, a.key, a.shift, a.x, a.y, a.left, a.top, a.width, a.height, a.fromUser,
                      a.answer);
}

TEST(ScriptJson, EveryActionReadsBackAsWritten)
{
    const std::vector<WindowScript> scripts{
        {"F_color",
         {click("BT_aceptar"), dblclick("Pc"), type("TX_color", Text(u"a\"\\\x01ñ\U0001F600\xD800", 8)), set("TX_color", u""),
          key("TX_color", 9, 1), key("Pc", platform::keys::End), key("Pc", platform::keys::Left), mousedown("Pc", 0.1, 1.0 / 3),
          move(-1500, 2147483647), resize(6000, -3000), closeBox(), closeFromCode(), answer(MessageAnswer::Cancel),
          answer(MessageAnswer::Ok)}},
        pick(u"/tmp/año 1.txt"), cancelFile(), {"vacía", {}}};
    const std::string json = scriptsToJson(scripts);
    const auto read = scriptsFromJson(parseJson(json));
    ASSERT_EQ(read.size(), scripts.size());
    for (std::size_t s = 0; s < scripts.size(); ++s) {
        EXPECT_EQ(read[s].window, scripts[s].window);
        ASSERT_EQ(read[s].actions.size(), scripts[s].actions.size());
        for (std::size_t a = 0; a < scripts[s].actions.size(); ++a)
            EXPECT_EQ(fields(read[s].actions[a]), fields(scripts[s].actions[a])) << scripts[s].actions[a].describe();
    }
    EXPECT_EQ(scriptsToJson(read), json);
    EXPECT_TRUE(std::ranges::all_of(json, [](char c) { return c >= 0x20 && c < 0x7F; })) << "plain ASCII, every other unit escaped";
    EXPECT_EQ(move(15, 30).describe(), "move");
}

// A box with an OK button alone is answered OK whatever answer the script holds for it, which the
// box spends. (Where answers come from is the playback table's and the scripted window system's.)
TEST(Answers, AnOkAloneBoxIsAnsweredOk)
{
    ScriptQueue queue;
    queue.queue({{"msgbox", {answer(MessageAnswer::Cancel), answer(MessageAnswer::Cancel)}}});
    EXPECT_EQ(queue.answerFor({u"¿Seguro?", platform::MessageButtons::Ok}), MessageAnswer::Ok);
    EXPECT_EQ(queue.answerFor({u"¿Seguro?", platform::MessageButtons::OkCancel}), MessageAnswer::Cancel);
    EXPECT_EQ(queue.pending(), 0u);
}

} // namespace
