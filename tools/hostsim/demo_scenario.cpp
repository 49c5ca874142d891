#include "demo_scenario.h"

namespace hostsim {

// One evening on two servers: everything the overlay and the List Channel
// window can show, with a picture after each change.
const char* const kDemoScenario = R"(# hostsim built-in demo
say "Two servers, three channels, a few clients"
connection 1 "Talvori Test Server" own 1
channel 1 10 "Lobby"
channel 1 20 "Games"
channel 1 30 "Away From Keyboard"
client 1 1 "Me" 10
client 1 2 "Alice" 10
client 1 3 "Bob" 10 muted
client 1 4 "Carol" 20
client 1 5 "Dave" 10 away
client 1 6 "Maximilian-Alexander von Langername-Schmidt" 10
connection 2 "Second Server" own 1
channel 2 1 "Default Channel"
client 2 1 "Me" 1
client 2 7 "Eve" 1 ping 120
active 1

init
wait 1000
say "The List Channel window, if it was switched off: on"
command 1 "channel on"
wait 500
screenshot 01-start.png

say "Speakers come and go; the long nickname is shortened"
talk 1 2 start
wait 300
screenshot 02-one-speaker.png
talk 1 6 start
talk 1 3 whisper
wait 300
screenshot 03-three-speakers.png
talk 1 2 stop
wait 300
screenshot 04-two-speakers.png
talk 1 3 stop
talk 1 6 stop

say "Arrivals, moves and departures"
join 1 8 "Frank" 10
wait 400
screenshot 05-join.png
move 1 4 20 10
wait 400
move 1 2 10 20
wait 400
screenshot 06-moves.png
leave 1 5
wait 400
screenshot 07-leave.png
join 1 9 "Grace with a very long nickname indeed" 20
move 1 6 10 30
wait 400
screenshot 08-long-names.png

say "Someone goes away and mutes; the List Channel window colours them"
update 1 8 away 1
update 1 4 muted 1
wait 400
screenshot 09-away-muted.png

say "Configure: the settings dialog, the List Channel window with its test pattern"
configure
wait 1000
screenshot 10-configure.png screen
dialog cancel
configured
wait 300

say "Chat commands"
command 1 "list"
command 1 "info 2"
command 1 "join 20"
wait 400
screenshot 11-joined-games.png
command 1 "unmove"
wait 400
command 1 "back"
wait 300
screenshot 12-back.png

say "Another tab"
tab 2
wait 400
talk 2 7 start
wait 300
screenshot 13-second-server.png
talk 2 7 stop
tab 1
wait 400

say "The connection drops"
disconnect 1
wait 400
screenshot 14-disconnected.png
wait 300

shutdown
unload
)";

}  // namespace hostsim
