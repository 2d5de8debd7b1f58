#include "app/cli/Commands.h"
#include "app/cli/JsonWriter.h"
#include "app/cli/RouterSearch.h"

namespace velmora::cli {

int RunScan(const Invocation& invocation)
{
    RouterList routers = SearchRouters();
    if (invocation.router) {
        std::erase_if(routers, [&](const RouterEntryPtr& router) {
            return !RouterNamed(*router, *invocation.router);
        });
    }
    if (routers.empty())
        return Fail(invocation.io, invocation.router ? "no router found is named \"" +
                                                           PlainText(*invocation.router) + "\""
                                                     : std::string(kRouterNotFound));
    if (invocation.json) {
        JsonWriter json;
        json.beginArray();
        for (const RouterEntryPtr& router : routers) {
            json.beginObject()
                .member("name", router->displayName())
                .member("kind", RouterKind(*router))
                .member("address", RouterAddress(*router))
                .key("description_url");
            if (router->is_apple)
                json.null();
            else
                json.value(router->description_url);
            json.endObject();
        }
        std::fprintf(invocation.io.out, "%s\n", json.endArray().text().c_str());
        return kExitSuccess;
    }
    for (const RouterEntryPtr& router : routers) {
        std::fprintf(invocation.io.out, "%s (%s, %s)\n", PlainText(router->displayName()).c_str(),
                     RouterKind(*router).c_str(), RouterAddress(*router).c_str());
    }
    return kExitSuccess;
}

} // namespace velmora::cli
