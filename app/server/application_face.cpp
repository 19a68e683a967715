#include "app/server/application_face.h"

namespace qmx {

void RegisterApplicationFace()
{
    remoting::RegisterInterface<IApplication, ApplicationProxy>(
        "org.qmx.QMXGanttDisplay.IApplication",
        {QMX_REMOTE_METHOD(IApplication, Connect), QMX_REMOTE_METHOD(IApplication, Disconnect),
         QMX_REMOTE_METHOD(IApplication, get_Visible), QMX_REMOTE_METHOD(IApplication, put_Visible),
         QMX_REMOTE_METHOD(IApplication, get_Hwnd), QMX_REMOTE_METHOD(IApplication, Quit)});
}

}  // namespace qmx
