#pragma once
#include <QPainterPath>

#include "outline/outline.h"

// The contours as a painter path in their own units, y up as stored, as
// WalkOutline walks them. Callers map it with a QTransform.
QPainterPath ContoursPath(const Contours& contours);

// The control polygon as a painter path, as WalkPolygon walks it.
QPainterPath PolygonPath(const Contours& contours);
