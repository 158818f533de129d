#include "data/FaultPoint.h"

#include <utility>

namespace faultpoint {

namespace {
bool counting = false;
int target = 0;
int second = 0;
int count = 0;
bool delivered = false;
bool lasting = false;
int actAt = 0;
std::function<void()> act;
} // namespace

void arm(int k, bool andAfter) {
    counting = true;
    lasting = andAfter;
    target = k;
    second = 0;
    count = 0;
    delivered = false;
    actAt = 0;
    act = nullptr;
}

void armAlso(int j) {
    second = j;
}

void meanwhile(int k, std::function<void()> a) {
    actAt = k;
    act = std::move(a);
}

void disarm() {
    counting = false;
    target = 0;
    second = 0;
    actAt = 0;
    act = nullptr;
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
    if (count == actAt && act)
        std::exchange(act, nullptr)(); // once, even when it reaches operations itself
    if (count != target && count != second && !(lasting && target > 0 && count > target))
        return false;
    delivered = true;
    return true;
}

} // namespace faultpoint
