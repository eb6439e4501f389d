// An engine file that includes a header of the files room above it: the build must refuse it.
#include "engine/cholesky.h"
#include "files/data_file.h"
