// Mazes written by hand: the menu's background maze.
#pragma once

// Reads a maze file into mazeGrid; false when the file cannot be opened.
bool LoadMazeFile(const char* path);
