#include <QtGlobal>

// The icons live in a static library, whose resources must be registered by hand.
void lumoraInitResources()
{
    Q_INIT_RESOURCE(resources);
}
