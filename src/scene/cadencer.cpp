#include "scene/cadencer.h"
