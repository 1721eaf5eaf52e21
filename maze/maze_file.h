// Mazes written by hand: the menu's background maze.
#pragma once

// Reads a maze file into mazeGrid: the length and width, then one cell value per cell, row by
// row, all separated by white space. False, with the maze in memory untouched, when the file
// cannot be opened or declares sizes that do not fit the grid (above 128, negative, missing).
bool LoadMazeFile(const char* path);
