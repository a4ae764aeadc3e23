# The curve of `make bench`: time per operation over the number of cards, log-log, the plain
# baselines dashed. Given: csv (the file), png (the picture), figures and baselines (the numbers
# of its columns of each).
set datafile separator ","
set terminal pngcairo size 1400,900 font "DejaVu Sans,10"
set output png
set logscale xy
set grid xtics ytics mxtics mytics lc rgb "#dddddd"
set xlabel "cards in the meeting"
set ylabel "ms"
set format x "10^{%L}"
set format y "10^{%L}"
set key outside right top noenhanced
set title "QorClient: time per operation against the number of cards" noenhanced
last = figures + 1
plot for [i=2:last] csv using 1:i with linespoints lw 1.5 lc (i-2)%8+1 pt int((i-2)/8)*2+5 ps 0.8 \
         title columnhead(i), \
     for [i=last+1:last+baselines] csv using 1:i with lines dashtype i-last+1 lw 2.5 lc rgb "#444444" title columnhead(i)
