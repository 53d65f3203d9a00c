// interlink_peer: a running copy of the program reduced to its broadcast channel, for the
// interlink tests and for measuring the channel.
//
//   interlink_peer serve FOLDER
//       Opens a channel on FOLDER and prints "ready PATH" (PATH: its socket file) or
//       "unavailable". Then prints "received W L T" for every message that arrives (T: the
//       steady clock in nanoseconds at its arrival) and obeys lines on standard input:
//       "send W L" broadcasts and prints "sent DELIVERED MISSED REMOVED"; "quit" or the end of
//       the input closes the channel and exits.
//
//   interlink_peer measure [ROUNDS]
//       Broadcasts ROUNDS values (default 300) from this process to copies of itself started
//       in "serve" mode on a fresh folder, first with one other copy, then with nine, each
//       value once every copy has reported the one before. Prints the latency from the call of
//       broadcast() to the arrival in the other copies (both processes read the same monotonic
//       clock) and the time broadcast() itself takes, median and worst.
//
// The trace goes to standard error, so that standard output carries only the lines above.
#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "diag/trace.h"
#include "support/peer_process.h"
#include "support/peer_report.h"
#include "ui/interlink/broadcast_channel.h"

namespace wintarvo {
namespace {

using testing::Figures;
using testing::figures;
using testing::microseconds;
using testing::nowNanoseconds;
using testing::say;

bool readNumber(std::string_view& text, unsigned long long& value) {
    while (text.starts_with(' '))
        text.remove_prefix(1);
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{}) return false;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return true;
}

void obey(BroadcastChannel& channel, std::string_view line) {
    if (line == "quit") {
        QCoreApplication::exit(0);
        return;
    }
    unsigned long long w = 0, l = 0;
    if (line.starts_with("send ")) {
        line.remove_prefix(5);
        if (readNumber(line, w) && readNumber(line, l)) {
            const BroadcastReport r =
                channel.broadcast(static_cast<quint32>(w), static_cast<quint32>(l));
            say("sent " + std::to_string(r.delivered) + " " + std::to_string(r.missed) + " " +
                std::to_string(r.removed));
            return;
        }
    }
    say("bad command");
}

int serve(const std::string& folder) {
    BroadcastChannel channel(folder);
    say(channel.open() ? "ready " + channel.socketPath() : std::string("unavailable"));
    QObject::connect(&channel, &BroadcastChannel::received, [](quint32 w, quint32 l) {
        say("received " + std::to_string(w) + " " + std::to_string(l) + " " +
            std::to_string(nowNanoseconds()));
    });

    ::fcntl(0, F_SETFL, ::fcntl(0, F_GETFL) | O_NONBLOCK);
    QSocketNotifier input(0, QSocketNotifier::Read);
    std::string pending;
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(0, buffer, sizeof buffer)) > 0)
            pending.append(buffer, static_cast<std::size_t>(n));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
            obey(channel, std::string_view(pending).substr(0, end));
            pending.erase(0, end + 1);
        }
        if (n == 0) {
            input.setEnabled(false);
            QCoreApplication::exit(0);
        }
    });
    return QCoreApplication::exec();
}

// One series of broadcasts from channel to the peers; every peer must report each value
// before the next is sent.
void measureSeries(BroadcastChannel& channel,
                   std::vector<std::unique_ptr<testing::PeerProcess>>& peers, int rounds) {
    std::vector<long long> toEach, toLast, cost;
    int missed = 0, lost = 0;
    for (int round = 0; round < rounds; ++round) {
        const quint32 value = static_cast<quint32>(peers.size() << 16 | round);
        const long long start = nowNanoseconds();
        const BroadcastReport report = channel.broadcast(0, value);
        cost.push_back(nowNanoseconds() - start);
        missed += report.missed;
        long long last = 0;
        for (auto& peer : peers) {
            std::string line;
            if (!peer->take("received 0 " + std::to_string(value) + " ", line,
                            std::chrono::seconds(5))) {
                ++lost;
                continue;
            }
            const long long arrival = std::atoll(line.c_str() + line.rfind(' ') + 1);
            toEach.push_back(arrival - start);
            last = std::max(last, arrival - start);
        }
        toLast.push_back(last);
        QCoreApplication::processEvents();  // this copy's own announcement
    }
    const Figures each = figures(toEach), slowest = figures(toLast), call = figures(cost);
    std::printf(
        "%zu copies, %d broadcasts:\n"
        "  latency to another copy:      median %s, worst %s\n"
        "  latency to the last copy:     median %s, worst %s\n"
        "  broadcast() call:             median %s, worst %s\n"
        "  missed (queue full): %d, not arrived: %d\n",
        peers.size() + 1, rounds, microseconds(each.median).c_str(),
        microseconds(each.worst).c_str(), microseconds(slowest.median).c_str(),
        microseconds(slowest.worst).c_str(), microseconds(call.median).c_str(),
        microseconds(call.worst).c_str(), missed, lost);
    std::fflush(stdout);
}

int measure(const std::string& self, int rounds) {
    std::string base = (std::filesystem::temp_directory_path() / "tarvo-measure-XXXXXX").string();
    if (::mkdtemp(base.data()) == nullptr) return 1;
    BroadcastChannel channel(base + "/link");
    if (!channel.open()) return 1;

    std::vector<std::unique_ptr<testing::PeerProcess>> peers;
    auto addPeers = [&](int count) {
        for (int i = 0; i < count; ++i) {
            peers.push_back(std::make_unique<testing::PeerProcess>(
                std::vector{self, std::string("serve"), channel.folder()}));
            std::string line;
            if (!peers.back()->take("ready ", line)) return false;
        }
        return true;
    };
    int status = 1;
    if (addPeers(1)) {
        measureSeries(channel, peers, rounds);
        if (addPeers(8)) {
            measureSeries(channel, peers, rounds);
            status = 0;
        }
    }
    for (auto& peer : peers)
        peer->finish();
    channel.close();
    std::error_code ignored;
    std::filesystem::remove_all(base, ignored);
    return status;
}

}  // namespace
}  // namespace wintarvo

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    wintarvo::setStandardOutputEnabled(false);
    wintarvo::setDebuggerChannel([](std::string_view text) {
        if (::write(2, text.data(), text.size()) < 0) std::_Exit(3);
    });
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "serve") return wintarvo::serve(args[1]);
    if (!args.empty() && args.size() <= 2 && args[0] == "measure") {
        const int rounds = args.size() == 2 ? std::atoi(args[1].c_str()) : 300;
        std::error_code error;
        const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
        if (rounds > 0 && !error) return wintarvo::measure(self.string(), rounds);
    }
    std::fprintf(stderr, "usage: interlink_peer serve FOLDER | measure [ROUNDS]\n");
    return 2;
}
