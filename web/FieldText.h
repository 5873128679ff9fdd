// The page's code field is the field model's, as the window's is.
#pragma once

#include "FieldModel.h"
