// The texts that name the field model in use: the range message and the about
// box's notice. For the built-in 1995.0 reference field they are the program's
// original texts, byte for byte.
#pragma once

#include <string>

#include "model/FieldModel.h"

// True for the built-in 1995.0 reference field itself (not a copy).
bool IsReferenceField1995(const model::FieldModel& fieldModel);

// "This version of Dexlin only accepts years between 1995 and 2000." with the
// model's first and last years.
std::string YearRangeText(const model::FieldModel& fieldModel);

// "Dexlin 1.0 - magnetic model: NAME, valid FIRST to LAST."
std::string AboutNotice(const model::FieldModel& fieldModel);

// The model's name for the window's title on a date: the model that answers
// then (of the one chosen for the date, WMM2025 or IGRF-14), or its own name
// outside its years; shown as the notice shows names.
std::string ModelTitleName(const model::FieldModel& fieldModel, double year);
