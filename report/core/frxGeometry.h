#pragma once
// Rectangles and points in report units (double pixels at 96 per inch), for the places where
// whole device pixels would lose the fractions a report's layout keeps.
//
// Plain values with no invariants: a rectangle may be empty or reversed, and nothing here
// normalises it.

struct TfrxFloatRect {
    double Left = 0, Top = 0, Right = 0, Bottom = 0;
};
struct TfrxFloatPoint {
    double X = 0, Y = 0;
};

// --- making ----------------------------------------------------------------------------------
inline TfrxFloatRect frxMakeRect(double left, double top, double right, double bottom) {
    return {left, top, right, bottom};
}
inline TfrxFloatPoint frxMakePoint(double x, double y) { return {x, y}; }
