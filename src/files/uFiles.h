// The text-file layer: byte streams, the buffered stream and the text stream.
#pragma once

#include "files/uBufferedStream.h"
#include "files/uStreams.h"
#include "files/uTextStream.h"
