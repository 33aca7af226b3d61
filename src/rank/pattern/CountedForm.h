#pragma once

#include <QByteArray>
#include <functional>

// The pattern engine counts a step for every byte a lazy repetition takes, but runs through a
// greedy or possessive repetition of one item in a loop of its own without counting, so that a
// page could make it work far beyond the steps it reports. The counted form of a pattern matches
// exactly what the pattern matches, in the same order, with every unbounded repetition of one item
// written so that each step covers at most kCountedChunk bytes:
//  - followed by a literal byte the item cannot match, or possessive: (?:C{1,8}+)*+, one run
//    taken in chunks (giving back would not help, the next byte cannot follow otherwise);
//  - greedy otherwise: (?:C{8})*C{0,7}, which tries the same counts, largest first;
//  - lazy otherwise: as it is.
// Counts ({n}, {n,m}) stay as they are: the engine runs through one in a single step, so a step may
// pass over as many bytes as the pattern's counts allow (bytesPerStep), and is charged for them.
// The engine counts no step for taking up the next alternative: every alternative begins with an
// empty repetition that it counts (\x00?, a byte no subject holds), and a step of a pattern with
// alternatives is charged as one over a chunk. Nor for the literal bytes and
// classes between two repetitions: bytesPerStep is at least a quarter of the longest such straight path.
// Constructs whose work the engine does not count and that cannot be so written (atomic groups,
// look-around, backtracking verbs, possessive groups, \Q quoting, escapes outside the dialect,
// inline options) are refused with ERegExpr, "<description> (pos N)". Call it with a pattern the
// engine has compiled.
constexpr int kCountedChunk = 8;

struct CountedForm {
    QByteArray text;
    int bytesPerStep = 1; // the most bytes one step of the engine's may pass over
};

// itemMatches(item, byte): whether the one-item pattern matches that byte.
using ItemMatches = std::function<bool(const QByteArray& item, char byte)>;

CountedForm countedForm(const QByteArray& pattern, const ItemMatches& itemMatches);
