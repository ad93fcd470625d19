#pragma once
// Entering and leaving the 2D pixel projection in which screens draw their background, GUI and
// cursor: origin at the top-left corner, Y growing downwards, depth testing off.

// Pushes the projection matrix and replaces it with glOrtho(0, Width, Height, 0, 0, 100); the
// modelview matrix becomes the identity.
void BeginOrtho(float Width, float Height);
// Pops the projection matrix pushed by BeginOrtho, re-enables depth testing and resets the
// modelview matrix.
void EndOrtho();
