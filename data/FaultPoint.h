#pragma once

// A test hook for proving that every write survives a failure at any step.
// Statements (exec, select, begin, commit) and the file steps of the
// exchange call hit() before doing their work; a test arms it so that the
// k-th of them from then on fails as a disk error would. Production code
// never arms it, and then hit() is one branch.
#include <functional>

namespace faultpoint {

// The k-th operation from now on fails (k >= 1); 0 only counts. With
// andAfter, every later one fails too (a disk that stays broken).
void arm(int k, bool andAfter = false);
// After arm(): the j-th operation (j > k) fails as well, as when the undoing
// of a failure meets a second one.
void armAlso(int j);
// After arm(): just before the k-th operation, `act` runs (what another
// program does between two steps); the operation then goes on.
void meanwhile(int k, std::function<void()> act);
void disarm();
// Operations seen since the last arm().
int seen();
// Whether the armed failure has been delivered.
bool fired();
// Called by each operation: true when this one must fail.
bool hit();

} // namespace faultpoint
