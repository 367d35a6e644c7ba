function calculate(WBSJ) {
    var x = WBSJ;
    x = x.replace(" ", "");
    var arr = x.split(",");
    var lcm = 0;
    var flag = false;
    var total = 0;
    for (var j = 0; j < arr.length; j++) {
        arr[j] = parseFloat(arr[j]);
        total = total + arr[j];
    }
    var mean = total / arr.length;
    mean = Math.round(mean * 10000) / 10000;
    var xm2 = 0;
    for (var j = 0; j < arr.length; j++) {
        xm2 = xm2 + Math.pow((arr[j] - mean), 2);
    }
    var sd = xm2 / (arr.length - 1);
    sd = Math.sqrt(sd);
    var cv = sd / mean;
    sd = Math.round(sd * 10000) / 10000;
    return arr.length + "|" + mean + "|" + sd + "|" + cv;
    /*
    document.getElementById("count").value = arr.length;
    document.getElementById("mean").value = mean;
    document.getElementById("sd").value = sd;
    document.getElementById("cv").value = cv;
    */
}
