// One frame of the demo: the room and four columns, each piece through the cartoon effect.
#pragma once

namespace demo {

void OPENGL_DRAW();

} // namespace demo
