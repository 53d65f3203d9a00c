#include "tools/match_runner.h"

#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "match/gtp_client.h"
#include "match/match_report.h"
#include "match/openings.h"
#include "records/game_file.h"
#include "tools/cli_arguments.h"
#include "tools/engine_process.h"

namespace wintarvo::cli {
namespace {

constexpr std::chrono::milliseconds QUIT_GRACE{2000};

struct Slot {
    std::unique_ptr<EngineProcess> engines[2];
    bool knowsSetGame[2] = {false, false};
};

class Match {
  public:
    explicit Match(const MatchOptions& options) : options_(options) {
        for (int e = 0; e < 2; ++e) {
            description_.names[e] = options.commands[e];
            description_.commands[e] = options.commands[e];
        }
        description_.games = options.games;
        description_.openings = static_cast<int>(options.openings.size());
        description_.openingPlies = options.openingPlies;
        description_.seed = options.seed;
        description_.clock = options.referee.clock;
        description_.concurrency = options.concurrency;
    }

    int run();

  private:
    bool startEngine(Slot& slot, int engine, std::string* name);
    void work(Slot& slot);
    void finished(int index, bool engineOneWhite, const match::GameOutcome& outcome);
    void report(int index, bool engineOneWhite, const match::GameOutcome& outcome);
    void fail(const std::string& message);

    const MatchOptions& options_;
    match::MatchDescription description_;
    TrafficLog log_;
    bool logging_ = false;

    std::mutex mutex_;  // guards everything below
    int nextGame_ = 0;
    bool stop_ = false;
    std::string failure_;
    std::map<int, std::pair<bool, match::GameOutcome>> done_;
    int nextToReport_ = 0;
    int wins_ = 0;
    int losses_ = 0;
    bool recordFailed_ = false;
};

int Match::run() {
    std::string error;
    if (!options_.logPath.empty()) {
        if (!log_.open(options_.logPath, error)) throw UsageError(error);
        logging_ = true;
    }
    if (!options_.sgfDirectory.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(options_.sgfDirectory, ec);
        if (ec || !std::filesystem::is_directory(options_.sgfDirectory))
            throw UsageError("cannot use '" + options_.sgfDirectory +
                             "' as the folder of the records" +
                             (ec ? ": " + ec.message() : ": not a folder"));
    }
    installMatchSignalHandlers();

    std::vector<Slot> slots(static_cast<std::size_t>(options_.concurrency));
    bool started = true;
    for (int e = 0; e < 2 && started; ++e)
        started = startEngine(slots[0], e, &description_.names[e]);
    if (started) {
        std::cout << match::headerLines(description_) << std::flush;
        std::vector<std::thread> threads;
        for (std::size_t s = 1; s < slots.size(); ++s)
            threads.emplace_back([this, &slots, s] { work(slots[s]); });
        work(slots[0]);
        for (std::thread& t : threads)
            t.join();
    }
    for (Slot& slot : slots)
        for (auto& engine : slot.engines)
            if (engine) engine->stop(QUIT_GRACE);

    // Games after one that was never played (its slot's engine would not start).
    for (const auto& [index, game] : done_)
        report(index, game.first, game.second);
    if (started) std::cout << match::scoreLine(wins_, losses_) << std::flush;
    const int played = wins_ + losses_;
    if (matchInterrupted()) {
        std::cerr << "wintarvo-cli match: interrupted after " << played << " of " << options_.games
                  << " games\n";
        return 130;
    }
    if (!failure_.empty()) {
        std::cerr << "wintarvo-cli match: " << failure_ << '\n';
        return 1;
    }
    return recordFailed_ ? 1 : 0;
}

bool Match::startEngine(Slot& slot, int engine, std::string* name) {
    const std::string& command = options_.commands[engine];
    auto& process = slot.engines[engine];
    if (!process) process = std::make_unique<EngineProcess>(command, logging_ ? &log_ : nullptr);
    process->setLabel("engine " + std::to_string(engine + 1));
    const std::string which = "engine " + std::to_string(engine + 1) + " (" + command + ")";
    std::string error;
    if (!process->start(error)) {
        fail(which + " cannot be started: " + error);
        return false;
    }
    const match::EngineIdentity id =
        match::identifyEngine(*process, command, ENGINE_STARTUP, options_.referee.commandCap);
    if (matchInterrupted()) return false;
    if (!id.answered) {
        process->kill();
        std::string message = which + " cannot be started: " + id.problem;
        if (!process->endText().empty()) message += "; " + process->endText();
        if (!process->lastErrorLines().empty())
            message += "; its standard error: " + process->lastErrorLines();
        fail(message);
        return false;
    }
    slot.knowsSetGame[engine] = id.knowsSetGame;
    if (name != nullptr) *name = id.name;
    return true;
}

void Match::work(Slot& slot) {
    for (;;) {
        int index = 0;
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            if (stop_ || nextGame_ >= options_.games) return;
            index = nextGame_++;
        }
        for (int e = 0; e < 2; ++e)
            if ((!slot.engines[e] || !slot.engines[e]->running()) && !startEngine(slot, e, nullptr))
                return;
        const match::GameAssignment a =
            match::assignmentFor(index, static_cast<int>(options_.openings.size()));
        const int whiteEngine = a.engineOneWhite ? 0 : 1;
        for (int e = 0; e < 2; ++e)
            slot.engines[e]->setLabel("game " + std::to_string(index + 1) + " engine " +
                                      std::to_string(e + 1));
        const match::GameOutcome outcome = match::playGame(
            options_.openings[static_cast<std::size_t>(a.opening)], options_.referee,
            {slot.engines[whiteEngine].get(), slot.knowsSetGame[whiteEngine]},
            {slot.engines[1 - whiteEngine].get(), slot.knowsSetGame[1 - whiteEngine]});
        if (matchInterrupted()) {
            const std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
            return;
        }
        for (int colour = 0; colour < 2; ++colour)
            if (outcome.spoilt[colour])
                slot.engines[colour == 0 ? whiteEngine : 1 - whiteEngine]->kill();
        finished(index, a.engineOneWhite, outcome);
    }
}

void Match::finished(int index, bool engineOneWhite, const match::GameOutcome& outcome) {
    const std::lock_guard<std::mutex> lock(mutex_);
    done_.emplace(index, std::make_pair(engineOneWhite, outcome));
    while (!done_.empty() && done_.begin()->first == nextToReport_) {
        const auto node = done_.extract(done_.begin());
        report(node.key(), node.mapped().first, node.mapped().second);
        ++nextToReport_;
    }
}

void Match::report(int index, bool engineOneWhite, const match::GameOutcome& outcome) {
    const int number = index + 1;
    std::cout << match::gameLine(number, engineOneWhite, outcome) << std::flush;
    if (!std::cout && !stop_) {
        // Nobody reads the report any more (a closed pipe, a full disk): the games would be
        // played for nothing.
        stop_ = true;
        if (failure_.empty()) failure_ = "cannot write the report to standard output; stopped";
    }
    for (const std::string& note : outcome.notes)
        std::cerr << "wintarvo-cli match: game " << number << ": " << note << '\n';
    if ((outcome.winner == 0) == engineOneWhite)
        ++wins_;
    else
        ++losses_;
    if (options_.sgfDirectory.empty()) return;
    std::string digits = std::to_string(number);
    const std::size_t width = std::max<std::size_t>(3, std::to_string(options_.games).size());
    if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
    const std::string path = options_.sgfDirectory + "/game-" + digits + ".sgf";
    std::string error;
    if (!writeGameFile(path, GameFileFormat::Sgf, outcome.moves,
                       match::sgfGameInfo(description_, engineOneWhite, outcome), error)) {
        std::cerr << "wintarvo-cli match: cannot save game " << number << " to '" << path
                  << "': " << error << '\n';
        recordFailed_ = true;
    }
}

void Match::fail(const std::string& message) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (failure_.empty()) failure_ = message;
    stop_ = true;
}

}  // namespace

int runMatch(const MatchOptions& options) {
    Match match(options);
    return match.run();
}

}  // namespace wintarvo::cli
