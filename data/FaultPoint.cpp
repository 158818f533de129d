#include "data/FaultPoint.h"

namespace faultpoint {

namespace {
bool counting = false;
int target = 0;
int second = 0;
int count = 0;
bool delivered = false;
bool lasting = false;
} // namespace

void arm(int k, bool andAfter) {
    counting = true;
    lasting = andAfter;
    target = k;
    second = 0;
    count = 0;
    delivered = false;
}

void armAlso(int j) {
    second = j;
}

void disarm() {
    counting = false;
    target = 0;
    second = 0;
}

int seen() {
    return count;
}

bool fired() {
    return delivered;
}

bool hit() {
    if (!counting)
        return false;
    ++count;
    if (count != target && count != second && !(lasting && target > 0 && count > target))
        return false;
    delivered = true;
    return true;
}

} // namespace faultpoint
