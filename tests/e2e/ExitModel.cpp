// A program linked as jumbla.exe is (the same WinMain, runtime and thread
// model) that ends while a title-mode load's workers read VQF files that are
// not there: each read throws and catches a CFileException on its worker's
// thread, sixteen at a time, while the process ends. The end-to-end test runs
// it many times; every run must end with exit code 0.

#include "framework/Thread.h"
#include "framework/WinApp.h"
#include "playlist/EntryLoad.h"

#include <cstdlib>
#include <memory>

class CExitModelApp : public CWinApp
{
public:
    BOOL InitInstance() override
    {
        const char* playlist = std::getenv("JUMBLA_EXIT_MODEL_PLAYLIST");
        if (playlist == nullptr)
            return FALSE;
        CEntryLoad::Options options;
        options.slowReadMs = 0;  // every reader at once
        // Left running, as a closing window leaves its loads.
        m_load = CEntryLoad::Start(playlist, DisplayMode::title, AfxGetCurrentFolder(), options);
        // Until the workers are well into the files that are not there.
        for (int waits = 0; waits < 5000; ++waits) {
            if (m_load->GetState() == CEntryLoad::opened) {
                while (m_nTaken < m_load->GetCount() && m_load->IsFinished(m_nTaken))
                    ++m_nTaken;
            }
            if (m_nTaken >= 200 || m_load->GetState() == CEntryLoad::openFailed)
                break;
            AfxSleep(1);
        }
        return FALSE;
    }

private:
    std::shared_ptr<CEntryLoad> m_load;
    std::size_t m_nTaken = 0;
};

CExitModelApp theApp;
