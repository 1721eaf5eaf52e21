// The walls as the game drew them before it kept them in lists: every face of every wall block
// sent corner by corner each frame, a translation per cell. The benchmark measures the game's
// renderer against it and the tests hold the game's pictures to it.
#pragma once

// As DrawMaze, DrawMazeAssembling and DrawMazeScattering, markers included at rest.
void DrawMazeImmediately();
void DrawMazeAssemblingImmediately();
void DrawMazeScatteringImmediately();
