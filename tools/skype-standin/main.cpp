// skype-standin: a Skype desktop client on the session bus for demos, tests and trials of
// Tallowin Skype Recorder. See README.md beside this file for its options and script commands.

#include "ScenarioScript.h"
#include "SkypeStandIn.h"
#include "StandInLog.h"
#include "StandInWindow.h"
#include "StdinReader.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace {
struct CallOptions {
    const QCommandLineOption& ring;
    const QCommandLineOption& talk;
    const QCommandLineOption& noAudio;
    const QCommandLineOption& oddPieces;
    const QCommandLineOption& micTone;
    const QCommandLineOption& outputTone;
    const QCommandLineOption& speech;
};

bool setUpCalls(const QCommandLineParser& parser, SkypeStandIn& skype, StandInLog& log, const CallOptions& options)
{
    double ring = 0, talk = 0, mic = 0, output = 0;
    if (!StandInCalls::readNumber(parser.value(options.ring), ring) ||
        !StandInCalls::readSeconds(parser.value(options.talk), talk) ||
        !StandInCalls::readNumber(parser.value(options.micTone), mic) ||
        !StandInCalls::readNumber(parser.value(options.outputTone), output)) {
        std::fprintf(stderr, "skype-standin: --ring, --talk, --mic-tone and --output-tone take numbers\n");
        return false;
    }
    skype.setCallTimes(ring, talk);
    AudioStreams& audio = skype.audio();
    audio.setEnabled(!parser.isSet(options.noAudio));
    audio.setOddPieces(parser.isSet(options.oddPieces));
    audio.setSignal(AudioStreams::Side::Mic, AudioSignal::tone(mic));
    audio.setSignal(AudioStreams::Side::Output, AudioSignal::tone(output));
    if (parser.isSet(options.speech)) {
        const std::optional<AudioSignal> mine = AudioSignal::speech(QStringLiteral("This is my side of the call."));
        const std::optional<AudioSignal> theirs = AudioSignal::speech(QStringLiteral("This is the remote side."));
        if (mine && theirs) {
            audio.setSignal(AudioStreams::Side::Mic, *mine);
            audio.setSignal(AudioStreams::Side::Output, *theirs);
        } else {
            log.write(QStringLiteral("event"), QStringLiteral("espeak-ng did not speak: playing tones"));
        }
    }
    return true;
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("skype-standin"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A stand-in Skype client speaking the desktop API on the session bus."));
    parser.addHelpOption();
    const QCommandLineOption access(QStringLiteral("access"), QStringLiteral("Answer NAME with accept or refuse."),
                                    QStringLiteral("accept|refuse"), QStringLiteral("accept"));
    const QCommandLineOption loggedOut(QStringLiteral("logged-out"),
                                       QStringLiteral("Start without a logged-in user (until the script says login)."));
    const QCommandLineOption user(QStringLiteral("user"), QStringLiteral("Handle of the logged-in user."),
                                  QStringLiteral("handle"));
    const QCommandLineOption friends(QStringLiteral("friends"),
                                     QStringLiteral("Friend list, e.g. \"alice=Alice Archer, bob\"."),
                                     QStringLiteral("list"));
    const QCommandLineOption noPongs(QStringLiteral("no-pongs"), QStringLiteral("Do not answer ping."));
    const QCommandLineOption noName(QStringLiteral("no-name"),
                                    QStringLiteral("Do not take com.Skype.API at start (the script's acquire does)."));
    const QCommandLineOption script(QStringLiteral("script"), QStringLiteral("Run the scenario in this file."),
                                    QStringLiteral("file"));
    const QCommandLineOption readStdin(QStringLiteral("stdin"),
                                       QStringLiteral("Also take scenario lines from standard input."));
    const QCommandLineOption logFile(QStringLiteral("log"), QStringLiteral("Also write the log to this file."),
                                     QStringLiteral("file"));
    const QCommandLineOption ring(QStringLiteral("ring"), QStringLiteral("Seconds a call rings (default 1)."),
                                  QStringLiteral("seconds"), QStringLiteral("1"));
    const QCommandLineOption talk(QStringLiteral("talk"),
                                  QStringLiteral("Seconds a call is talked in (default 10; - until hung up)."),
                                  QStringLiteral("seconds"), QStringLiteral("10"));
    const QCommandLineOption noAudio(QStringLiteral("no-audio"),
                                     QStringLiteral("Take the alter call commands without sending audio."));
    const QCommandLineOption oddPieces(QStringLiteral("odd-pieces"),
                                       QStringLiteral("Write the audio in pieces of odd sizes."));
    const QCommandLineOption micTone(QStringLiteral("mic-tone"),
                                     QStringLiteral("Tone of the microphone (my side), Hz (default 440)."),
                                     QStringLiteral("hz"), QStringLiteral("440"));
    const QCommandLineOption outputTone(QStringLiteral("output-tone"),
                                        QStringLiteral("Tone of the call's output (remote side), Hz (default 880)."),
                                        QStringLiteral("hz"), QStringLiteral("880"));
    const QCommandLineOption speech(QStringLiteral("speech"),
                                    QStringLiteral("Speak with espeak-ng instead of the tones, when it is there."));
    const QCommandLineOption window(QStringLiteral("window"),
                                    QStringLiteral("Show a main window on the X11 display (for sticking to it)."));
    const QCommandLineOption windowClass(QStringLiteral("window-class"), QStringLiteral("The main window's class."),
                                         QStringLiteral("name"), QStringLiteral("tSkMainForm"));
    const QCommandLineOption windowGeometry(QStringLiteral("window-geometry"),
                                            QStringLiteral("The main window's size and place."),
                                            QStringLiteral("WxH+X+Y"), QStringLiteral("640x480+80+60"));
    parser.addOptions({access, loggedOut, user, friends, noPongs, noName, script, readStdin, logFile, ring, talk,
                       noAudio, oddPieces, micTone, outputTone, speech, window, windowClass, windowGeometry});
    parser.process(app);

    StandInLog log;
    if (parser.isSet(logFile) && !log.openFile(parser.value(logFile))) {
        std::fprintf(stderr, "skype-standin: cannot write %s\n", qPrintable(parser.value(logFile)));
        return 2;
    }

    SkypeStandIn skype(log);
    const QString accessValue = parser.value(access);
    if (accessValue != QLatin1String("accept") && accessValue != QLatin1String("refuse")) {
        std::fprintf(stderr, "skype-standin: --access takes accept or refuse\n");
        return 2;
    }
    skype.setAccess(accessValue == QLatin1String("accept") ? SkypeStandIn::Access::Accept
                                                           : SkypeStandIn::Access::Refuse);
    skype.setLoggedIn(!parser.isSet(loggedOut));
    skype.setAnswerPings(!parser.isSet(noPongs));
    if (parser.isSet(user))
        skype.setUserHandle(parser.value(user));
    if (parser.isSet(friends))
        skype.setFriends(parser.value(friends).split(QLatin1Char(','), Qt::SkipEmptyParts));
    if (!setUpCalls(parser, skype, log, {ring, talk, noAudio, oddPieces, micTone, outputTone, speech}))
        return 2;

    if (!skype.start())
        return 1;
    if (!parser.isSet(noName) && !skype.acquireName())
        return 1;

    StandInWindow mainWindow(skype, log);
    if (parser.isSet(window)) {
        const std::optional<QRect> geometry = StandInWindow::parseGeometry(parser.value(windowGeometry));
        if (!geometry || !mainWindow.open(parser.value(windowClass), *geometry)) {
            std::fprintf(stderr, "skype-standin: cannot open the window %s on the display\n",
                         qPrintable(parser.value(windowGeometry)));
            return 2;
        }
    }

    ScenarioScript fileScript(skype, log);
    if (parser.isSet(script) && !fileScript.loadFile(parser.value(script))) {
        std::fprintf(stderr, "skype-standin: cannot read %s\n", qPrintable(parser.value(script)));
        return 2;
    }
    ScenarioScript liveScript(skype, log);
    if (parser.isSet(readStdin)) {
        auto* reader = new StdinReader(&app);
        QObject::connect(reader, &StdinReader::lineRead, &liveScript, &ScenarioScript::addLine);
    }

    log.write(QStringLiteral("event"), QStringLiteral("ready"));
    return app.exec();
}
