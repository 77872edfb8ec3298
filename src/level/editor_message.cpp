#include "level/editor_message.h"

#include <cstdarg>
#include <cstdio>

namespace pw {

void EditorMessage::show(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  // One line: a path or a reason may carry a line break.
  for (char* c = text; *c != '\0'; ++c)
    if (*c == '\n' || *c == '\r') *c = ' ';
  framesLeft = kMessageFrames;
}

}  // namespace pw
