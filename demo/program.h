// The program's spine, split so that the windowed demo and the headless snapshot share it.
#pragma once

namespace demo {

inline constexpr const char *QUESTION = "Settare lo schermo intero?  ";
inline constexpr const char *QUESTION_CAPTION = "Video!";
inline constexpr const char *TITLE = "Dimostrazione di FX_Cartoon abbinato con Texture CellShader";

// Asks for full screen, then sets up as PROGRAM_SETUP does.
void PROGRAM_START();
// Opens the window and context, sets up projection, light 0 and the scene.
void PROGRAM_SETUP(bool FULL);
// One turn of the main loop: clear, at most one window message, the frame, the swap.
void PROGRAM_FRAME();
// The main loop: frames until the window has gone, at least one.
void PROGRAM_RUN();
// Frees the outline font, then the context and the window.
void PROGRAM_END();

} // namespace demo
