// Finding the movie's video and audio streams at set-up.
#pragma once

// Fills the video file and channel (FCSearch AUTO), picture size, version,
// chunks per frame and, when none was given, the frame rate. Ends the
// process (-11) when no video sector is found or its header is bad.
void find_video_stream();

// Fills the audio file and channel and the sound format, or switches Sound
// off when the window holds no audio sector of the stream.
void find_audio_stream();
