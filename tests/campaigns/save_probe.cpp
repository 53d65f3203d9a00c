// Saves one record of a given number of moves to a path through writeGameFile, as the desktop
// program's Save command does, for the save-fault campaign (save_faults.sh), which runs it as
// other users, in odd folders and under size limits. Prints "saved" or "not saved: CAUSE".
// Exit status 0 when the save reported success, 1 when it reported failure, 2 for a usage
// error.
#include <cstdlib>
#include <iostream>
#include <string>

#include "model/move_list.h"
#include "records/game_file.h"

int main(int argc, char** argv) {
    char* end = nullptr;
    const long count = argc == 3 ? std::strtol(argv[2], &end, 10) : -1;
    if (argc != 3 || *end != '\0' || count < 0 || count > 10'000'000) {
        std::cerr << "usage: wintarvo_save_probe PATH MOVES   (MOVES from 0 to 10000000)\n";
        return 2;
    }
    // A4-A5 (A6) and D10-D9 (C9) in turn: twelve and thirteen bytes a line.
    wintarvo::MoveList moves;
    for (long i = 0; i < count; ++i)
        moves.push_back(i % 2 == 0 ? wintarvo::Move{60, 50, 40} : wintarvo::Move{3, 13, 12});
    std::string error;
    const bool saved =
        wintarvo::writeGameFile(argv[1], wintarvo::GameFileFormat::Record, moves, {}, error);
    std::cout << (saved ? "saved" : "not saved: " + error) << '\n';
    return saved ? 0 : 1;
}
