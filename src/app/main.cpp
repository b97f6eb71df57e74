#include "app/viewer_app.h"

int main(int argc, char** argv) {
    qv::OndixApplication app(argc, argv);
    return qv::RunViewer(app);
}
