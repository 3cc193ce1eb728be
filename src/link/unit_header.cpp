// The header texts come from the image's own decoding, so the link and the Bike page show the same.
#include "link/unit_header.h"
