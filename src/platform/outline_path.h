#pragma once
#include <QPainterPath>

#include "outline/outline.h"

// The contours as a painter path in their own units, y up as stored:
// quadratic off-curve points with the on-curve points implied between two of
// them, cubic ones in pairs. Callers map it with a QTransform.
QPainterPath ContoursPath(const Contours& contours);
