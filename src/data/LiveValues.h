#pragma once

// The live reading as values: the frame's counts turned into a temperature,
// a humidity and the dew point, marked as the memory decoder marks what the
// sensor cannot measure, so live and recorded values agree everywhere.

#include "DateTime.h"
#include "ReadingMarks.h"

#include <QtGlobal>

namespace tq {

struct LiveSample {
    TDateTime time = 0.0;             // local wall clock, ms precision
    float temperature = kNullReading; // the logger's unit; kLowMark/kHighMark when out of range
    float humidity = kNullReading;    // % RH; kNullReading for the 860 or out of range
    float dewPoint = kNullReading;    // temperature's unit; kNullReading when it cannot be computed
    bool fahrenheit = false;
};

// Counts are the live frame's (0.1 units); model 860 or 862. fahrenheit is
// the logger's unit as the link last saw it: an 862 showing humidity
// carries no unit mark. The dew point is rounded to the 0.1 the readings
// have, so what is shown, limited and written is one value.
LiveSample liveSample(TDateTime time, int model, qint16 primary, qint16 secondary, bool fahrenheit);

// Magnus formula over water (Sonntag 1990: a = 17.62, b = 243.12 C), in the
// temperature's unit. kNullReading when the temperature is no reading or
// the humidity is not above 0 and at most 100 %.
float dewPoint(float temperature, float humidity, bool fahrenheit);

} // namespace tq
