#include "records/records_file.h"

bool LoadRecords()
{
    return true;
}
