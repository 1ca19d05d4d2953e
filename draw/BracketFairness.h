#pragma once

// How fair a drawn bracket is, against the best the event allows. At every level of the
// bracket (halves, quarters, … and the tables themselves) a school's fair share of a place
// is the ceiling of its entries over the places; an entry beyond that share is an excess.
// At the table level, for a school with no more entries than tables, an excess is a
// first-round meeting of two of its players. The least excess each level allows, with the
// seeds where they stand and every place keeping its number of positions, is found exactly
// as a maximum flow of entries from schools into places.

#include <map>
#include <string>
#include <vector>

#include "draw/ShareArrangement.h"

namespace tombra {
class Session;
struct TournamentState;
}  // namespace tombra

namespace tombra::draw {

// The fewest entries that must stand beyond their school's share of one of `places` places
// (the seats' tables, 1-based), with the seeds where they are and every place keeping its
// number of entries.
int leastExcess(const std::vector<Seat>& seats, int places);
// Each school's entries by place (0-based).
std::map<int, std::vector<int>> countsByPlace(const std::vector<Seat>& seats, int places);
// Entries beyond the share in one school's counts by place.
int excessOver(const std::vector<int>& counts, int entries);

struct LevelFairness {
    int places = 0;  // 2 for the halves … TableCount for the tables
    int excess = 0;
    int leastExcess = 0;
};

struct SchoolFairness {
    int school = 0;
    int entries = 0;
    std::vector<int> excess;  // by level, as `levels`
    // The largest difference of the school's entries between two sibling sections.
    int widestGap = 0;
};

struct BracketFairness {
    std::vector<LevelFairness> levels;    // halves first, tables last
    std::vector<SchoolFairness> schools;  // those with entries, by number
    // The fewest excess entries over the sections' levels together, with the first-round
    // meetings at their fewest: when it is more than those levels' own least excesses added
    // up, no draw reaches every level's least at once.
    int leastSectionExcess = 0;
    int sectionExcess() const;
    // The meetings at their fewest and the sections' excess at its least.
    bool best() const;
    // Whether every level's least can be reached at once.
    bool bestReachable() const;
    // How far the draw is from its best: the more of the meetings beyond their fewest and the
    // sections' excess beyond its least.
    int shortfall() const;
};

BracketFairness assessBracket(const TournamentState& s);

// The log's lines: one summary, then a line for each level short of its best and for each
// school with an excess.
std::vector<std::string> fairnessLines(const BracketFairness& fairness, const TournamentState& s);

// After a command that drew or moved entries: the lines into the log, when a bracket is drawn.
void logBracketFairness(Session& session);

}  // namespace tombra::draw
