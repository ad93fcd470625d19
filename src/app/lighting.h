#pragma once
// The client's one light (GL_LIGHT1): set up at start-up, placed again by the game screen in
// world coordinates every frame. Lighting is on only while the game screen draws its scene.

inline constexpr float LightAmbient[4] = {0.3f, 0.3f, 0.3f, 1.0f};
inline constexpr float LightDiffuse[4] = {0.7f, 0.7f, 0.7f, 1.0f};
inline constexpr float LightPosition[4] = {128.0f, 200.0f, 128.0f, 1.0f};
