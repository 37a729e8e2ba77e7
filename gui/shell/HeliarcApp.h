#pragma once
// The application object: runs the main dialog and holds the two thumbnail frames, which any
// window reaches through it.
#include <QPointer>
#include <memory>
#include <string>

#include "gui/browser/BaseDataThumbnailWnd.h"
#include "gui/browser/DataThumbnailWnd.h"

class CHeliarcDlg;
class CSimulatedInstrument;

class CHeliarcApp {
public:
    struct Options {
        bool demo = false;           // the simulated instrument on a pseudo-terminal is the port
        std::string port;            // port for this run ("usb", "COM<n>", a device path)
        std::string screenshot;      // render the main dialog to this PNG file and end
        std::string thumbnailScreenshot;  // with screenshot: the thumbnail windows to this PNG file
        std::string artworkFolder;   // write the icon and the finish sound into this folder and end
    };

    CHeliarcApp();
    ~CHeliarcApp();
    static CHeliarcApp* Instance();

    // Application start: the locale, the main dialog shown and the event loop run until the dialog
    // ends; the exit code.
    int Run(const Options& options);
    // Tells the user what keeps the stored settings from being used; false when the program must
    // not start (a settings file that exists but cannot be read).
    static bool CheckSettingsAtStart();

    QPointer<CDataThumbnailWnd> m_pDataThumbnailWnd;
    QPointer<CBaseDataThumbnailWnd> m_pBaseDataThumbnailWnd;
    CHeliarcDlg* MainDialog() const { return dialog_; }

private:
    int SaveThumbnailPicture(const std::string& path);

    CHeliarcDlg* dialog_ = nullptr;
    std::unique_ptr<CSimulatedInstrument> simulator_;
};
