// Gestures for page-model tests: typing into a field or clicking a radio, applied in order.
#pragma once

#include <string>
#include <vector>

#include "common/page.h"

// A gesture: typing `text` into a field, or (choice >= 0) clicking a radio of a group.
struct Gesture {
    std::string id;
    std::string text;
    int choice = -1;
};

inline Gesture Type(std::string id, std::string text) {
    return {std::move(id), std::move(text)};
}

inline Gesture Pick(std::string id, int choice) {
    return {std::move(id), "", choice};
}

inline void Apply(CPage& page, const std::vector<Gesture>& gestures) {
    for (const Gesture& g : gestures) {
        if (g.choice >= 0) {
            page.Choose(g.id, g.choice);
        } else {
            page.Type(g.id, g.text);
        }
    }
}
