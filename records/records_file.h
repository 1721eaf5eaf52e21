// The table of the ten best campaign results and its file.
#pragma once

bool LoadRecords();
