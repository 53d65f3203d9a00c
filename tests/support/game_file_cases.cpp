#include "support/game_file_cases.h"

#include <algorithm>

namespace wintarvo::testing {
namespace {

using F = GameFileFormat;
constexpr auto NOT_A_MOVE = SkippedLine::Cause::NotAMove;
constexpr auto NOT_LEGAL = SkippedLine::Cause::NotLegal;

}  // namespace

MoveList GameFileCase::gameMoves() const {
    MoveList list;
    for (const char* text : moves) {
        Move m;
        parseMove(text, m);
        list.push_back(m);
    }
    return list;
}

bool GameFileCase::windowOpens() const {
    const bool illegal = std::any_of(skipped.begin(), skipped.end(),
                                     [](const auto& s) { return s.second == NOT_LEGAL; });
    return error == nullptr && (!moves.empty() || illegal);
}

bool GameFileCase::toolTakes() const {
    return error == nullptr && (windowOpens() || recordHeader);
}

const std::vector<GameFileCase>& gameFileCases() {
    const char* A = "A4-A5 (A6)";
    const char* D = "D10-D9 (C9)";
    // clang-format off
    static const std::vector<GameFileCase> cases = {
        // Record files; blank, comment and N lines are skipped without a word.
        {"game_files/record.amz", nullptr, F::Record, true, {A, D}, {2, 3}, {}},
        {"game_files/record_bom.amz", nullptr, F::Record, true, {A, D}, {2, 3}, {}},
        {"game_files/record_without_header.amz", nullptr, F::Record, false, {A, D}, {1, 2}, {}},
        {"game_files/record_header_only.amz", nullptr, F::Record, true, {}, {}, {}},
        {"game_files/record_skipped_lines.amz", nullptr, F::Record, true, {A, D}, {2, 8},
         {{3, NOT_A_MOVE}, {5, NOT_LEGAL}, {9, NOT_LEGAL}, {10, NOT_A_MOVE}}},
        {"game_files/record_other_notation.amz", nullptr, F::Record, true, {}, {},
         {{2, NOT_A_MOVE}, {3, NOT_A_MOVE}}},
        {"game_files/record_only_illegal.amz", nullptr, F::Record, false, {}, {}, {{1, NOT_LEGAL}}},
        // SGF records.
        {"sgf/quarry_short.sgf", nullptr, F::Sgf, false,
         {A, D, "J4-J5 (J6)", "G10-G9 (H9)", "D1-D2 (D1)", "A7-B7 (A7)"}, {1, 2, 3, 4, 5, 6}, {}},
        {"game_files/sgf_leading_text.sgf", nullptr, F::Sgf, false, {A, D}, {1, 2}, {}},
        {"game_files/sgf_extra_parentheses.sgf", nullptr, F::Sgf, false, {A, D}, {1, 2}, {}},
        {"game_files/sgf_bom.sgf", nullptr, F::Sgf, false, {A}, {1}, {}},
        {"game_files/sgf_without_moves.sgf", nullptr, F::Sgf, false, {}, {}, {}},
        {"game_files/sgf_illegal_move.sgf", "move 2, B[agafae] (A4-A5 (A6)), is not legal", F::Sgf,
         false, {}, {}, {}},
        // Files that are no game, or not a whole one.
        {"game_files/empty.amz", "the file is empty", F::Record, false, {}, {}, {}},
        {"game_files/notes.txt", nullptr, F::Record, false, {}, {},
         {{1, NOT_A_MOVE}, {2, NOT_A_MOVE}}},
        {"game_files/text_with_a_move.txt", nullptr, F::Record, false, {A}, {1}, {}},
        {"game_files/picture.png", nullptr, F::Record, false, {}, {},
         {{1, NOT_A_MOVE}, {2, NOT_A_MOVE}, {3, NOT_A_MOVE}, {4, NOT_A_MOVE}}},
    };
    // clang-format on
    return cases;
}

}  // namespace wintarvo::testing
