#pragma once
// Small immediate-mode drawing helpers shared by the screens, the GUI drawer and the model
// drawing. The 2D helpers expect the window's pixel projection (Y growing downwards).

// Front-face material colour (R, G, B, 1), set as diffuse and then as ambient.
void SetMaterialColor(float R, float G, float B);

// A quad from (X, Y) to (X + W, Y + H) in colour (R, G, B) with texture coordinates (0, 0) at
// (X, Y) to (1, 1) at the opposite corner, so the first image row lies at Y. Negative sizes
// draw the mirrored quad.
void DrawRectangle(float X, float Y, float W, float H, float R, float G, float B);

// A filled rectangle with a bevelled outline: light on the top and left edges and dark on the
// others when Raised, the other way round when sunken.
void DrawBoundedRect(int X, int Y, int W, int H, float R, float G, float B, bool Raised = true);

// An axis marker at the origin: X blue, Y red, Z green (two lines). Leaves lighting disabled
// and 2D texturing enabled.
void DrawOriginLines(float Length);
void DrawOriginLines();
