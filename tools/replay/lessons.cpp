// SPDX-License-Identifier: GPL-3.0-or-later
#include "lessons.h"

#include "distanceform.h"
#include "inclinationform.h"
#include "slopeform.h"

namespace replay {

namespace {

struct LessonEntry {
    std::string_view name;
    std::unique_ptr<forms::Form> (*make)(forms::FormEnvironment&);
};

template <class LessonForm>
std::unique_ptr<forms::Form> make(forms::FormEnvironment& environment) {
    return std::make_unique<LessonForm>(environment);
}

constexpr LessonEntry kLessons[] = {
    {"dorvane", &make<distance::DistanceForm>},
    {"skelvin", &make<slope::SlopeForm>},
    {"quillet", &make<inclination::InclinationForm>},
};

}  // namespace

std::unique_ptr<forms::Form> makeLesson(std::string_view name,
                                        forms::FormEnvironment& environment) {
    for (const LessonEntry& lesson : kLessons) {
        if (lesson.name == name) return lesson.make(environment);
    }
    return nullptr;
}

std::vector<std::string_view> lessonNames() {
    std::vector<std::string_view> names;
    for (const LessonEntry& lesson : kLessons) names.push_back(lesson.name);
    return names;
}

}  // namespace replay
