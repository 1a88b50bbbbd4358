// An animated plasma filling the terminal at 30 frames a second, two colours
// a cell, through the installed API only; q or Escape quits.   plasma
#include <cmath>
#include <cstdio>
#include <vector>
#include <vantrel/frame_clock.h>
#include <vantrel/half_blocks.h>
#include <vantrel/mosaic_encoder.h>
#include <vantrel/terminal_events.h>
#include <vantrel/terminal_session.h>

namespace vt = vantrel;
int main() {
    if (!vt::terminalSession::enter())
        return std::fprintf(stderr, "plasma: standard input and output must be a terminal\n"), 1;
    vt::terminalSession::setCursorVisible(false);
    vt::MosaicEncoder encoder(vt::colourModeFromEnvironment(), {});
    std::vector<vt::MosaicCell> cells;
    vt::TerminalEvents events;
    vt::FrameClock clock = vt::FrameClock::perSecond(30);
    std::vector<vt::Rgb> pair;  // the two colour rows of a terminal row
    vt::Event event;
    vt::terminalSession::size(event.columns, event.rows);
    for (int w = 0, h = 0, quit = 0; !quit;) {
        if (h == 0 || event.kind == vt::Event::Kind::resize || event.kind == vt::Event::Kind::resumed) {
            w = event.columns, h = event.rows;
            pair.assign(static_cast<std::size_t>(2 * w), {}), cells.assign(static_cast<std::size_t>(w * h), {});
            encoder.setLayout(vt::centreFrame(w, h, w, h));  // repaints in full
        }
        const double t = static_cast<double>(clock.nowUs()) * 1e-6;
        for (int y = 0; y < 2 * h; ++y) {
            for (int x = 0; x < w; ++x) {
                const double v = std::sin(x * 0.11 + t) + std::sin(y * 0.13 - t * 1.3) +
                                 std::sin(std::hypot(x - w / 2, y - h) * 0.15 - t * 2);
                auto channel = [v](double p) { return static_cast<std::uint8_t>(127.5 + 127.5 * std::sin(v * 2 + p)); };
                pair[static_cast<std::size_t>(y % 2 * w + x)] = {channel(0), channel(2.1), channel(4.2)};
            }
            if (y % 2) vt::halfBlockRow(encoder.colourMode(), &pair[0], &pair[w], w, &cells[y / 2 * w]);
        }
        if (!vt::terminalSession::write(encoder.encode({cells.data(), w, h, w}))) break;
        for (event.kind = vt::Event::Kind::readable;  // none yet
             !quit && event.kind != vt::Event::Kind::resize && event.kind != vt::Event::Kind::resumed &&
             events.wait(event, clock.millisecondsToNextFrame());) {
            const bool key = event.kind == vt::Event::Kind::key;
            quit = event.kind == vt::Event::Kind::lost || (key && (event.key.key == vt::Key::escape || event.key.character == 'q'));
        }
        clock.waitForNextFrame();
    }
    vt::terminalSession::leave();
}
