#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace qs {

class Log;

struct SolverSetup {
    std::filesystem::path contentRoot;
    int level = 1;
    uint32_t seed = 1;
    // Shots played through the game session at most (each one a node of the search).
    long nodeBudget = 40000;
    // Positions kept after each shot, the most promising first.
    int beamWidth = 60;
    // The search gives up beyond this many shots.
    int maxShots = 80;
};

// One shot of a solution.
struct SolverMove {
    double angle = 0;   // radians, 0 straight up, positive to the left
    bool swap = false;  // the next ball was swapped into the cannon first
    int kind = 0;       // the ball fired
    int column = 0;     // where it docked
    int row = 0;
};

struct SolverResult {
    int level = 0;
    uint32_t seed = 0;
    bool loaded = false;
    bool solved = false;
    bool budgetSpent = false;  // the node budget ran out before a solution or a dead end
    int shots = 0;             // shots of the solution found
    int pushes = 0;            // pushes of the field during it
    long nodes = 0;            // shots played in the search
    long ms = 0;
    std::vector<SolverMove> moves;
};

// Searches shot sequences that collect every crystal of a puzzle level, playing each shot
// through the game session (the simulator's rules, pushes and ball queue from `seed`).
//
// The search goes shot by shot (a beam): from every kept position it tries a fan of aims,
// one per distinct cell the ball would dock in, with the ball in the cannon and, swapped,
// the next one; each try is first judged on a copy of the field (what it removes, drops and
// frees), the best `beamWidth` distinct tries are then played for real, losses are dropped,
// and the first position with every crystal collected ends the search. With a beam as wide
// as the tries the search is exhaustive, so the shots found are the fewest possible.
SolverResult solvePuzzle(const SolverSetup& setup, Log& log);

// {"level":..,"seed":..,"solved":..,"shots":..,"pushes":..,"nodes":..,"ms":..,
//  "budget_spent":..,"moves":[{"angle":..,"swap":..,"kind":..,"column":..,"row":..}, ...]}
std::string solverResultJson(const SolverResult& result);

}  // namespace qs
