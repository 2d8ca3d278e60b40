#pragma once

#include "shell/gui/QtSoundPlayer.h"

// The platform's half of the sound player: one implementation per system.
namespace zelvano
{

QtSoundPlayer::PlaybackPtr newPlayback(QObject* owner);
// Stops the cue playing, if any.
void stopCue(QtSoundPlayer::Playback& playback);
// Starts `file` (an existing cue: a resource or a file) and returns without
// waiting.
void playCue(QtSoundPlayer::Playback& playback, const QString& file);

} // namespace zelvano
