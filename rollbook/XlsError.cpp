#include "rollbook/XlsError.h"
