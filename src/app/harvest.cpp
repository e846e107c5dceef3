#include "app/harvest.h"

#include "app/controls.h"
#include "app/dedup.h"
#include "app/link_resolution.h"
#include "app/run_control.h"
#include "app/window_operations.h"
#include "encoding/code_page.h"
#include "encoding/url_encode.h"
#include "foundation/bytes.h"
#include "foundation/date_time.h"
#include "foundation/files.h"
#include "foundation/numbers.h"
#include "http/wininet_client.h"

namespace kestrova {

namespace {

// The cookies one browser was once issued; every page request sends exactly
// these, whatever the responses set.
const Text fixedCookieString =
    "BAIDUID=C2FF9892D57B8CDC4272212A9B510B18:FG=1; BIDUPSID=78E979502C0B14BFD098978558F2B485; "
    "PSTM=1593763449; delPer=0; BD_CK_SAM=1; PSINO=1; H_PS_PSSID=7998_67830_49646_81269_29983; "
    "BD_UPN=55741510; H_PS_645EC=fiKqrMI4ZIGDfCvSaDF4Q3mzVDStIGmCSsT4l3Yk4Rd7BuKBSyi1foM7gZd; "
    "BDORZ=C822342AE9B209AAF4B3A289C51C69D4";

const Text pageUserAgentLine =
    "User-Agent: Mozilla/5.0 (Windows NT 10.0; Win64; x64; rv:60.0) Gecko/20100101 Firefox/60.0";

const Text nextPageMarker = "class=\"n\">下一页";

Text pageAddress(const Text& host, const Text& encodedKeyword, int32_t offset) {
    return concatText("https://", host, "/s?wd=", encodedKeyword, "&pn=", numberToText(offset));
}

// A page without the next-page marker ends the walk; this tells a last result
// page from an answer that is no result page and from a failed request.
WalkEnd whyPageEndsWalk(const Bytes& body, const Text& page) {
    if (body.empty()) {
        return WalkEnd::PageRequestFailed;
    }
    return pageHasResultLinks(page) ? WalkEnd::LastPage : WalkEnd::NotAResultPage;
}

}  // namespace

void harvestWorker(const HarvestHooks& hooks) {
    const Text encodedKeyword = urlEncode(readControlText(controls::keyword), true, true);
    int32_t offset = -10;
    int32_t pageNumber = 0;
    bool stoppedByUser = false;
    WalkEnd end = WalkEnd::StoppedByUser;

    for (;;) {
        if (!isControlDisabled(controls::start)) {
            stoppedByUser = true;
            break;
        }
        offset += 10;
        pageNumber += 1;
        writeControlText(controls::status, concatText("正在采集第：", numberToText(pageNumber), "页"));

        WinInetRequest request{
            .url = pageAddress(hooks.searchHost, encodedKeyword, offset),
            .method = 0,
            .cookie = fixedCookieString,
            .requestHeaders = pageUserAgentLine,
        };
        const Bytes body = fetchViaWinInet(request);
        const Text page = utf8ToAnsi(body);
        if (findText(page, nextPageMarker, 1, false) == -1) {
            if (hooks.walkEnded) {
                end = whyPageEndsWalk(body, page);
            }
            break;
        }
        collectPageLinks(page);
    }
    if (hooks.walkEnded) {
        hooks.walkEnded(end);
    }

    const Text results = readControlText(controls::results);
    if (!results.empty()) {
        writeControlText(controls::results, removeDuplicateLines(results, "\r\n", true));
        if (!stoppedByUser) {
            const Text path = concatText(runDirectory(), "/", timeToText(currentTime()), ".txt");
            if (!writeFile(path, {textToBytes(readControlText(controls::results))}) && hooks.fileWriteFailed) {
                hooks.fileWriteFailed(path);
            }
        }
    }
    const int32_t count = countLines(readControlText(controls::results));
    writeControlText(controls::status,
                     concatText("运行结束，去除重复采集结果数【", numberToText(count), "】，手动停止不写入文本"));
    onStopClicked();
}

}  // namespace kestrova
