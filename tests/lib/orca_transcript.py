# SPDX-FileCopyrightText: 2026 Quorran developers
# SPDX-License-Identifier: MIT
"""A speech server for Orca that speaks nothing and writes each utterance as
one line to the file named by TRANSCRIPT_FILE."""

import os

from orca import speechserver


def _write(text):
    text = " ".join(str(text).split())
    if not text:
        return
    with open(os.environ["TRANSCRIPT_FILE"], "a", encoding="utf-8") as transcript:
        transcript.write(text + "\n")


class SpeechServer(speechserver.SpeechServer):
    _active = None

    @staticmethod
    def getFactoryName():
        return "Transcript"

    @staticmethod
    def getSpeechServers():
        return [SpeechServer.getSpeechServer()]

    @staticmethod
    def getSpeechServer(info=None):
        if SpeechServer._active is None:
            SpeechServer._active = SpeechServer()
        return SpeechServer._active

    @staticmethod
    def shutdownActiveServers():
        SpeechServer._active = None

    def getInfo(self):
        return ["Transcript", "transcript"]

    def getVoiceFamilies(self):
        return []

    def speakCharacter(self, character, acss=None):
        _write(character)

    def speakKeyEvent(self, event, acss=None):
        _write(event.getKeyName())

    def speak(self, text=None, acss=None, interrupt=True):
        if text is not None:
            _write(text)

    def sayAll(self, utteranceIterator, progressCallback):
        for context, _acss in utteranceIterator:
            _write(context.utterance)
            progressCallback(context, speechserver.SayAllContext.COMPLETED)
