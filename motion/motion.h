// motion/motion.h -- turning and view motion: the animation of a turn through
// per-cubie angles, the view spin, and the whole-cube re-orientation.
// No GL here: the frame is reached only through display(), declared below.
#pragma once

constexpr int turn_frames = 18;     // 18 x 5 degrees = one quarter turn
constexpr float turn_step = 5.0f;   // degrees per frame of a key turn
constexpr float whole_step = 90.0f; // a whole-cube turn is one undrawn step

// One quarter turn, set up by the caller in the cube record: turn_axis, the
// step of that axis (+-5 for a layer turn, from input/; +-90 with whole_x or
// whole_y set, from reorient_cube). A layer turn runs 18 steps and draws a
// frame after each; a whole-cube turn runs one step and draws nothing. Then
// the cells and stickers follow (and face_done, after a layer turn).
void animate_turn();

// Called by display() once per frame, just before the view rotation: adds the
// view deltas to the view angles and keeps them in -180..175.
void update_view_angles();

// Called by display() once per frame, after the cubies are drawn: when a spin
// about X or Y has just brought its angle to +-45 moving away from 0, turns the
// whole cube 90 degrees the same way, takes the angle back by 85 degrees and
// exchanges the other two view angles. turn_axis is left as it was.
void reorient_cube();

// What reorient_cube did this frame, for the rotation display() puts under the
// selection frame alone: 90 after a -90 turn, 270 after a +90 turn, else 0.
// Written by reorient_cube, which clears both first.
extern int reorient_angle_x;
extern int reorient_angle_y;

// Draws one frame. Defined by render/; the tests of this folder define their
// own. animate_turn calls it after every step of a layer turn.
void display();
