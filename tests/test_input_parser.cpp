// The terminal input parser and the key-state bookkeeping: mouse reports,
// the lone Escape key against escape sequences, input split or merged
// across reads, malformed input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vantrel/input_parser.h"
#include "console/posix/input_state.h"

using namespace vantrel;

namespace {

struct Recorder : InputSink {
    std::vector<std::string> events;
    void mouseReport(const MouseReport& r) override {
        const char* kind = r.kind == MouseReport::Kind::press     ? "press"
                           : r.kind == MouseReport::Kind::release ? "release"
                                                                  : "motion";
        events.push_back(std::string(kind) + " " + std::to_string(r.button) + " at " + std::to_string(r.column) + "," +
                         std::to_string(r.row));
    }
    void escapeKey() override { events.emplace_back("escape"); }
};

using Events = std::vector<std::string>;

void feed(InputParser& p, Recorder& r, const std::string& s, std::uint32_t now) {
    p.feed(reinterpret_cast<const unsigned char*>(s.data()), s.size(), now, r);
}

Events parseAll(const std::string& s, std::uint32_t now = 1000) {
    InputParser p;
    Recorder r;
    feed(p, r, s, now);
    p.tick(now + 1000, r);
    return r.events;
}

TEST(InputParser, MouseReports) {
    EXPECT_EQ(parseAll("\x1b[<0;10;5M\x1b[<0;10;5m"), (Events{"press 0 at 9,4", "release 0 at 9,4"}));
    EXPECT_EQ(parseAll("\x1b[<1;1;1M\x1b[<2;80;50M"), (Events{"press 1 at 0,0", "press 2 at 79,49"}));
    EXPECT_EQ(parseAll("\x1b[<35;40;25M\x1b[<32;41;25M"), (Events{"motion 3 at 39,24", "motion 0 at 40,24"}));
    // Shift, Alt and Ctrl do not change the button; wheel reports keep their code.
    EXPECT_EQ(parseAll("\x1b[<20;3;4M\x1b[<64;7;8M"), (Events{"press 0 at 2,3", "press 64 at 6,7"}));
    // The X10 form: ESC [ M and three bytes, 32 added to each.
    EXPECT_EQ(parseAll(std::string("\x1b[M") + char(32 + 0) + char(33 + 9) + char(33 + 4) + "\x1b[M" + char(32 + 3) +
                       char(33 + 9) + char(33 + 4)),
              (Events{"press 0 at 9,4", "release 3 at 9,4"}));
}

TEST(InputParser, EscapeKeyOnlyWhenNothingFollows) {
    InputParser p;
    Recorder r;
    feed(p, r, "\x1b", 100);
    p.tick(129, r);
    EXPECT_TRUE(r.events.empty()) << "29 ms is not yet long enough";
    EXPECT_TRUE(p.escapePending());
    p.tick(130, r);
    EXPECT_EQ(r.events, Events{"escape"});

    // Sequences, split after the ESC, are not the Escape key.
    r.events.clear();
    for (const char* rest : {"[A", "OP", "[15~", "[<35;2;2M", "x", "\x1b", "\x1b[A", "]11;rgb:0/0/0\x07"}) {
        feed(p, r, "\x1b", 200);
        feed(p, r, rest, 210);
        p.tick(400, r);
    }
    EXPECT_EQ(r.events, Events{"motion 3 at 1,1"});

    // A byte that comes late does not join the ESC before it.
    r.events.clear();
    feed(p, r, "\x1b", 500);
    feed(p, r, "[<0;3;3M", 540);
    EXPECT_EQ(r.events, Events{"escape"});

    // The clock may wrap between the ESC and the tick.
    r.events.clear();
    feed(p, r, "\x1b", 0xFFFFFFF0u);
    p.tick(0x0000000Du, r);
    EXPECT_TRUE(r.events.empty());
    p.tick(0x0000000Eu, r);
    EXPECT_EQ(r.events, Events{"escape"});
}

TEST(InputParser, SplitAtEveryByteGivesTheSameEvents) {
    const std::string stream =
        "\x1b[<35;12;7M\x1b[A\x1b[<0;12;7Mq\x1bx\x1b[<0;12;7m\x1b]11;rgb:1010/2020/3030\x1b\\\x1bOB"
        "\x1b[<2;80;50M\x1b[1;5C\x1b[<2;80;50m\x1b[M !!";
    const Events whole = parseAll(stream);
    ASSERT_EQ(whole, (Events{"motion 3 at 11,6", "press 0 at 11,6", "release 0 at 11,6", "press 2 at 79,49",
                             "release 2 at 79,49", "press 0 at 0,0"}));
    for (std::size_t cut = 1; cut < stream.size(); ++cut) {
        InputParser p;
        Recorder r;
        feed(p, r, stream.substr(0, cut), 1000);
        feed(p, r, stream.substr(cut), 1010);
        p.tick(2000, r);
        EXPECT_EQ(r.events, whole) << "cut at " << cut;
    }
    InputParser p;
    Recorder r;
    for (std::size_t i = 0; i < stream.size(); ++i) feed(p, r, stream.substr(i, 1), 1000 + static_cast<std::uint32_t>(i % 20));
    p.tick(2000, r);
    EXPECT_EQ(r.events, whole) << "one byte at a time";
}

TEST(InputParser, MalformedInputIsSkippedAndParsingRecovers) {
    const std::string good = "\x1b[<0;2;3M";
    const std::string bad[] = {
        "\x1b[<0;5M",                          // too few parameters
        "\x1b[<0;5;6;7M",                      // too many
        "\x1b[<0:1;5;6M",                      // sub-parameters
        "\x1b[<0;5;6!M",                       // an intermediate byte
        "\x1b[0;5;6M",                         // no '<'
        "\x1b[<0;5\xc3\xa9;6M",                // a non-ASCII byte inside
        "\x1b[<0;5;" + std::string(200, '9'),  // endless digits, then the next sequence
        "\x1b[" + std::string(100, ';') + "M",
        "\x1b[<0;5\x18",                       // cancelled
        std::string("\x1b[<0;5;6\0", 9),       // a NUL is skipped, the sequence never ends...
    };
    for (const std::string& b : bad) {
        EXPECT_EQ(parseAll(b + good), Events{"press 0 at 1,2"}) << "after " << b.size() << " bytes of junk";
    }
    // Huge numbers are clamped, not wrapped; zero coordinates are not negative.
    EXPECT_EQ(parseAll("\x1b[<0;99999999999;0M"), Events{"press 0 at 99998,0"});
    // An unterminated terminal reply still lets the Escape key through.
    EXPECT_EQ(parseAll("\x1b]0;never ends \x1b"), Events{"escape"});
}

// Plain keys between sequences, wherever the input is split: one byte below
// 0x80 is a key; Alt+key, the bytes of UTF-8 characters and the insides of
// sequences are not.
struct KeyRecorder : Recorder {
    void plainKey(unsigned char key) override { events.push_back("key " + std::to_string(key)); }
};

TEST(InputParser, PlainKeysBetweenSequences) {
    const std::string stream = "q\x1b[<0;3;4MQ\r\x01\x7f\x1bx\xc3\xa9 \x1b[1;5Aa\x1b";
    const Events expected{"key 113", "press 0 at 2,3", "key 81", "key 13", "key 1", "key 127", "key 32", "key 97",
                          "escape"};
    for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
        InputParser p;
        KeyRecorder r;
        p.feed(reinterpret_cast<const unsigned char*>(stream.data()), cut, 1000, r);
        p.feed(reinterpret_cast<const unsigned char*>(stream.data()) + cut, stream.size() - cut, 1010, r);
        p.tick(2000, r);
        EXPECT_EQ(r.events, expected) << "cut at " << cut;
    }
}

// Every key that sends a sequence, as xterm, the Linux console, rxvt and
// tmux send it, with and without modifiers, in one stream split at every
// byte; plainKeyPress names the one-byte keys.
struct SequenceKeyRecorder : KeyRecorder {
    void key(const KeyPress& k) override {
        static const char* const names[] = {"char", "enter", "tab", "backspace", "escape", "up", "down", "right",
                                            "left", "home", "end", "insert", "delete", "pageup", "pagedown", "f1",
                                            "f2", "f3", "f4", "f5", "f6", "f7", "f8", "f9", "f10", "f11", "f12"};
        std::string e = names[static_cast<int>(k.key)];
        if (k.character != 0) e += std::string(" '") + static_cast<char>(k.character) + "'";
        if (k.modifiers != 0) e += " +" + std::to_string(k.modifiers);
        events.push_back(e);
    }
};

TEST(InputParser, KeysThatSendSequences) {
    const std::pair<std::string, std::string> table[] = {
        {"\x1b[A", "up"}, {"\x1b[B", "down"}, {"\x1b[C", "right"}, {"\x1b[D", "left"},
        {"\x1bOA", "up"}, {"\x1bOD", "left"}, {"\x1b[H", "home"}, {"\x1b[F", "end"},
        {"\x1bOH", "home"}, {"\x1bOF", "end"}, {"\x1b[1~", "home"}, {"\x1b[4~", "end"},
        {"\x1b[7~", "home"}, {"\x1b[8~", "end"}, {"\x1b[2~", "insert"}, {"\x1b[3~", "delete"},
        {"\x1b[5~", "pageup"}, {"\x1b[6~", "pagedown"}, {"\x1bOP", "f1"}, {"\x1bOQ", "f2"},
        {"\x1bOR", "f3"}, {"\x1bOS", "f4"}, {"\x1b[11~", "f1"}, {"\x1b[14~", "f4"},
        {"\x1b[15~", "f5"}, {"\x1b[17~", "f6"}, {"\x1b[18~", "f7"}, {"\x1b[19~", "f8"},
        {"\x1b[20~", "f9"}, {"\x1b[21~", "f10"}, {"\x1b[23~", "f11"}, {"\x1b[24~", "f12"},
        {"\x1b[1;2A", "up +1"}, {"\x1b[1;3B", "down +2"}, {"\x1b[1;5C", "right +4"}, {"\x1b[1;9D", "left +8"},
        {"\x1b[1;8H", "home +7"}, {"\x1b[1;6P", "f1 +5"}, {"\x1b[1;2S", "f4 +1"}, {"\x1b[3;5~", "delete +4"},
        {"\x1b[24;2~", "f12 +1"}, {"\x1bO5A", "up +4"}, {"\x1b[Z", "tab +1"}, {"\x1b\x1b[A", "up +2"},
        {"\x1bx", "char 'x' +2"}, {"\x1b\r", "enter +2"}, {"\x1bOM", "enter"},
        // Not keys: unknown numbers and finals, markers, too many parameters.
        {"\x1b[9~", ""}, {"\x1b[16~", ""}, {"\x1b[2;5A", ""}, {"\x1b[?1;2A", ""}, {"\x1b[1;2;3~", ""},
        {"\x1b[1;5X", ""}, {"\x1bOx", ""}, {"\x1b]0;t\x1b\\", ""},
    };
    std::string stream;
    Events expected;
    for (const auto& [bytes, name] : table) {
        stream += bytes + "\x01";
        if (!name.empty()) expected.push_back(name);
        expected.push_back("char 'a' +4");  // Ctrl+A after each, as plainKeyPress names it
    }
    for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
        InputParser p;
        SequenceKeyRecorder r;
        p.feed(reinterpret_cast<const unsigned char*>(stream.data()), cut, 1000, r);
        p.feed(reinterpret_cast<const unsigned char*>(stream.data()) + cut, stream.size() - cut, 1010, r);
        p.tick(2000, r);
        Events keys;
        for (const std::string& e : r.events) {
            if (e == "key 1") {
                const KeyPress k = plainKeyPress(1);
                keys.push_back(k.key == Key::character && k.character == 'a' && k.modifiers == keyModifier::control
                                   ? "char 'a' +4"
                                   : "wrong");
            } else {
                keys.push_back(e);
            }
        }
        ASSERT_EQ(keys, expected) << "cut at " << cut;
    }
    // ESC ESC alone is Alt+Escape, not the Escape key.
    InputParser p;
    SequenceKeyRecorder r;
    p.feed(reinterpret_cast<const unsigned char*>("\x1b\x1b"), 2, 0, r);
    p.tick(100, r);
    EXPECT_EQ(r.events, Events{"escape +2"});
    const std::pair<unsigned char, const char*> plain[] = {{'\r', "enter"}, {'\t', "tab"},  {0x7F, "backspace"},
                                                           {0x08, "backspace"}, {0x1B, "escape"}, {0, "@"},
                                                           {0x1C, "\\"}, {0x1F, "_"}, {'~', "~"}};
    for (const auto& [byte, name] : plain) {
        SequenceKeyRecorder named;
        const KeyPress k = plainKeyPress(byte);
        named.key(k);
        const std::string want = k.key == Key::character ? std::string("char '") + name + "'" +
                                                               (byte < 0x20 ? " +4" : "")
                                                         : name;
        EXPECT_EQ(named.events, Events{want}) << int{byte};
    }
}

TEST(InputState, KeyBitsFollowPressesAndQueries) {
    InputState s;
    InputParser p;
    auto send = [&](const std::string& bytes) {
        p.feed(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), 0, s);
    };
    EXPECT_FALSE(s.hasMouse());
    EXPECT_EQ(s.queryKey(InputState::keyLeftButton), 0);

    send("\x1b[<0;5;5M");
    EXPECT_TRUE(s.hasMouse());
    EXPECT_EQ(s.mouseColumn(), 4);
    EXPECT_EQ(s.queryKey(InputState::keyLeftButton), 0x8001) << "down, and pressed since the last query";
    EXPECT_EQ(s.queryKey(InputState::keyLeftButton), 0x8000) << "still down";
    EXPECT_EQ(s.queryKey(InputState::keyRightButton), 0);
    send("\x1b[<0;5;5m");
    EXPECT_EQ(s.queryKey(InputState::keyLeftButton), 0);

    // A click between two queries still counts once.
    send("\x1b[<2;6;6M\x1b[<2;6;6m");
    EXPECT_EQ(s.queryKey(InputState::keyRightButton), 0x0001);
    EXPECT_EQ(s.queryKey(InputState::keyRightButton), 0);

    // The bits of one key do not clear another's.
    send("\x1b[<1;6;6M");
    EXPECT_EQ(s.queryKey(InputState::keyLeftButton), 0);
    EXPECT_EQ(s.queryKey(InputState::keyMiddleButton), 0x8001);

    // Motion with no button held: a lost release is made good.
    send("\x1b[<35;9;9M");
    EXPECT_EQ(s.queryKey(InputState::keyMiddleButton), 0);
    EXPECT_EQ(s.mouseRow(), 8);

    // Escape has no release: pressed once, never down.
    s.escapeKey();
    EXPECT_EQ(s.queryKey(InputState::keyEscape), 0x0001);
    EXPECT_EQ(s.queryKey(InputState::keyEscape), 0);
    EXPECT_EQ(s.queryKey('A'), 0);
}

}  // namespace
