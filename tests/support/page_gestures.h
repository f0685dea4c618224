// Gestures for page-model tests: typing into a field or clicking a radio, applied in order.
#pragma once

#include <gtest/gtest.h>

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

// FieldOf gives the page's field `id`; an unknown id fails the test and gives an empty field.
inline const Field& FieldOf(const CPage& page, const std::string& id) {
    static const Field kMissing{};
    const Field* field = page.FindField(id);
    if (field == nullptr) {
        ADD_FAILURE() << "page " << page.Name() << " has no field " << id;
        return kMissing;
    }
    return *field;
}

// TextOf gives the text of the page's field `id`.
inline const std::string& TextOf(const CPage& page, const std::string& id) {
    return FieldOf(page, id).text;
}
